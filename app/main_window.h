// The main window: a dialog with the page tree on the left and the selected page on the right.
// It lives hidden behind the tray icon, hides instead of closing, and ends the program only from
// an Exit command.
#pragma once
#include <windows.h>

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The running copy's main window as stored in "hWnd", or nullptr; not checked.
HWND ReadRunningMainWindow();

// The main window of a running copy of this program, by "hWnd"; nullptr when none runs. Windows
// reuses window handles, so a value left behind by a copy that was killed may name another
// program's window by now: it counts only while it is a top-level dialog with the page tree, in
// a process started from a file of this program's name.
HWND FindRunningCopy();
