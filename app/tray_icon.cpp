#include "app/tray_icon.h"

#include <shellapi.h>

#include "base/messages.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "base/win_state.h"
#include "res/resource_ids.h"

BOOL SetTrayIcon(HWND window, DWORD action, int iconId, const char* tip) {
    // The tray's size at this scaling (20 at 125 %, 24 at 150 %): the icon file holds each, so the
    // shell never blurs a 16-pixel one up.
    int size = GetSystemMetrics(SM_CXSMICON);
    OwnedIcon icon(
        static_cast<HICON>(LoadImageA(g_win.instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0)));
    NOTIFYICONDATAA data{};
    // The first, smallest layout (64-character tip) is understood by every shell version.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = MSG_TRAY_CALLBACK;
    data.hIcon = icon.get();
    CopyText(data.szTip, 63, tip);
    return Shell_NotifyIconA(action, &data);
}

void ShowTrayMenu(HWND window) {
    OwnedMenu menu(LoadMenuA(g_win.instance, MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    if (!menu) return;
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    BringWindowToTop(window);
    TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
}
