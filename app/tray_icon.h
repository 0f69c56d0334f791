// The program's icon in the notification area and its menu.
#pragma once
#include <windows.h>

// action: NIM_ADD, NIM_MODIFY or NIM_DELETE; iconId: a 16x16 icon resource.
BOOL SetTrayIcon(HWND window, DWORD action, int iconId, const char* tip);
// The tray menu (Exit) at the cursor; the choice arrives as WM_COMMAND to window.
void ShowTrayMenu(HWND window);
