#include "app/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <winsock.h>

#include "app/command_line.h"
#include "ui/home_page.h"
#include "app/main_window.h"
#include "app/start_with_windows.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/product.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/crash_handler.h"
#include "net/network_agent.h"
#include "present/contact_transfer.h"
#include "present/popup_window.h"
#include "res/resource_ids.h"

namespace {

// "/UNINSTALL" asks a running copy to exit and waits until its main window is gone; the exit
// request is repeated now and then in case the copy was busy (a modal dialog) and lost it.
constexpr int kUninstallPasses = 1000;
constexpr int kUninstallRepostEvery = 100;
constexpr DWORD kUninstallPassMs = 1000;

void RunUninstall() {
    HWND running = FindRunningCopy();
    for (int pass = 0; pass < kUninstallPasses && running != nullptr; ++pass) {
        if (pass % kUninstallRepostEvery == 0) PostMessageA(running, WM_COMMAND, IDM_TRAY_EXIT, 0);
        Sleep(kUninstallPassMs);
        running = FindRunningCopy();
    }
    DeleteSettingsKey();
    SetStartWithWindows(false);  // a removed program must not be started at the next sign-in
}

// Another copy for this user shows itself instead of a second tray icon appearing.
bool ShowRunningCopy() {
    HWND running = FindRunningCopy();
    if (running == nullptr) return false;  // none, or a stale value after a kill: start anew
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    AllowSetForegroundWindow(processId);  // we were just started, so we may hand the foreground on
    PostMessageA(running, WM_COMMAND, CMD_SHOW, 0);
    return true;
}

void ReadGlobalSettings() {
    g_state.popupBackColour = ReadSettingDword(kSettingBackColour);
    g_state.popupTextColour = ReadSettingDword(kSettingTextColour);
    g_state.role = ReadSettingDword(kSettingRole);
    char* address = g_state.broadcastAddress;
    // An empty text is no address: the sockets library would take it for this computer's name.
    if (ReadSetting(kSettingBroadcastAddress.name, address, kBroadcastAddressSize) != REG_SZ || address[0] == '\0') {
        CopyText(address, kBroadcastAddressSize, kSettingBroadcastAddress.defaultText);
        WriteSetting(kSettingBroadcastAddress.name, address, lstrlenA(address) + 1, REG_SZ);
    }
}

void RunMessageLoop(HWND mainWindow) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateContactKeys(&message)) continue;
        if (IsDialogMessageA(mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int RunTellwire(const char* arguments) {
    switch (ChooseStartSwitch(arguments)) {
    case StartSwitch::HomeUrl: OpenHomePage(nullptr); return kExitHomeUrl;
    case StartSwitch::Uninstall: RunUninstall(); return kExitUninstall;
    case StartSwitch::None: break;
    }
    if (ShowRunningCopy()) return kExitAlreadyRunning;

    g_win.instance = GetModuleHandleA(nullptr);
    InstallCrashHandler();
    InitCommonControls();
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) {
        MessageBoxA(nullptr, "Could not initialize winsock", kProductName, MB_ICONERROR | MB_TOPMOST);
        RestoreCrashHandler();
        return kExitNoWinsock;
    }
    SetProcessDefaults(&g_state);
    ReadGlobalSettings();
    CreatePopupResources();
    StartNetworkAgent();

    // Starting from the Startup folder or a second start must not steal the user's focus.
    HWND foreground = GetForegroundWindow();
    g_win.mainWindow = CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    if (foreground != nullptr && IsWindow(foreground)) {
        SetForegroundWindow(foreground);
        SetFocus(foreground);
    }
    if (g_win.mainWindow != nullptr) RunMessageLoop(g_win.mainWindow);

    WaitForPopupsClosed();
    StopNetworkAgent();
    WSACleanup();
    RestoreCrashHandler();
    return kExitNormal;
}
