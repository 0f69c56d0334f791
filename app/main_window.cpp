#include "app/main_window.h"

#include "app/messages.h"
#include "app/process_state.h"
#include "app/settings.h"
#include "app/win_state.h"
#include "res/resource_ids.h"

namespace {

void StoreWindowHandle(HWND window) {
    // Window handles are 32-bit values on 64-bit Windows too, so a REG_DWORD holds one.
    WriteSettingDword(kSettingMainWindow, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
}

void OnInitDialog(HWND window) {
    StoreWindowHandle(window);
    HICON icon = LoadIconA(g_win.instance, MAKEINTRESOURCEA(IDI_NORMAL));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void OnShow(HWND window) {
    ShowWindow(window, SW_SHOW);
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

void OnStop(HWND window) {
    g_state.stop = 1;
    SendMessageA(window, WM_CLOSE, 0, 0);
}

void OnExit(HWND window) {
    SendMessageA(window, WM_COMMAND, CMD_STOP, 0);
    DestroyWindow(window);
}

void OnCommand(HWND window, int id) {
    switch (id) {
    case IDCANCEL: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_FILE_EXIT:  // a user who chooses File > Exit expects the program to end
    case IDM_TRAY_EXIT: OnExit(window); break;
    case CMD_STOP: OnStop(window); break;
    case CMD_SHOW: OnShow(window); break;
    default: break;
    }
}

void OnDestroy() {
    g_state.stop = 1;
    WriteSetting(kSettingMainWindow.name, nullptr, 0, REG_DWORD);
    PostQuitMessage(0);
}

}  // namespace

HWND ReadRunningMainWindow() {
    DWORD stored = ReadSettingDword(kSettingMainWindow);
    // Sign-extend, as the system does when it widens a 32-bit handle.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(stored)));
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(window); return TRUE;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam)); return TRUE;
    case WM_CLOSE: ShowWindow(window, SW_HIDE); return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    default: return FALSE;
    }
}
