// The main window: a hidden dialog that receives the application messages.
#pragma once
#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The running copy's main window as stored in "hWnd", or nullptr.
HWND ReadRunningMainWindow();
