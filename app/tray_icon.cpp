#include "app/tray_icon.h"

#include <shellapi.h>

#include "base/messages.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "res/resource_ids.h"

BOOL SetTrayIcon(HWND window, DWORD action, int iconId, const char* tip) {
    HICON icon = static_cast<HICON>(LoadImageA(g_win.instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    // The first, smallest layout (64-character tip) is understood by every shell version.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = MSG_TRAY_CALLBACK;
    data.hIcon = icon;
    CopyText(data.szTip, 63, tip);
    BOOL done = Shell_NotifyIconA(action, &data);
    if (icon != nullptr) DestroyIcon(icon);
    return done;
}

void ShowTrayMenu(HWND window) {
    HMENU menu = LoadMenuA(g_win.instance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (menu == nullptr) return;
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    BringWindowToTop(window);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);
}
