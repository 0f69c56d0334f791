#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/blink_series.h"
#include "app/help_file.h"
#include "base/messages.h"
#include "app/page_tree.h"
#include "base/process_state.h"
#include "base/product.h"
#include "base/program_path.h"
#include "base/settings.h"
#include "app/tray_icon.h"
#include "base/unique_handle.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/popup_window.h"
#include "present/sound_player.h"
#include "present/sounds_page.h"
#include "res/resource_ids.h"
#include "ui/tree_view.h"

namespace {

// Window-level state; the user-interface thread alone touches it.
struct MainWindowState {
    UINT taskbarCreated;  // registered "TaskbarCreated": the shell (re)started
    BlinkSeries blink;
};
MainWindowState s_main;

void RestoreSelectedPage(HWND window) {
    char selected[256];
    if (ReadSetting(kSettingSelectedPage.name, selected, sizeof selected) != REG_SZ) selected[0] = '\0';
    HTREEITEM item = FindTreeItemByText(window, IDC_PAGE_TREE, selected);
    // Nothing stored, or a page that no longer exists: the first page, not an empty window.
    if (item == nullptr) item = TreeView_GetRoot(GetDlgItem(window, IDC_PAGE_TREE));
    if (item != nullptr) TreeView_SelectItem(GetDlgItem(window, IDC_PAGE_TREE), item);
}

void OnInitDialog(HWND window) {
    g_win.mainWindow = window;  // pages may broadcast while they are created
    // Window handles are 32-bit values on 64-bit Windows too, so a REG_DWORD holds one.
    WriteSettingDword(kSettingMainWindow, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
    // Each at its own size for this scaling, shared so they live as long as the program.
    HANDLE bigIcon = LoadImageA(g_win.instance, MAKEINTRESOURCEA(IDI_NORMAL), IMAGE_ICON,
                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED);
    HANDLE smallIcon = LoadImageA(g_win.instance, MAKEINTRESOURCEA(IDI_NORMAL), IMAGE_ICON,
                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    s_main.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    FillPageTree(window);
    LogPrintf("%s v%s started", kProductName, kProductVersion);
    RestoreSelectedPage(window);
    // The tray icon is put in place the same way it comes back after the shell restarts.
    PostMessageA(window, s_main.taskbarCreated, 0, 0);
    s_main.blink = BlinkSeries{};
}

void LayoutMainWindow(HWND window, HWND page) {
    HWND tree = GetDlgItem(window, IDC_PAGE_TREE);
    RECT treeRect;
    RECT client;
    GetWindowRect(tree, &treeRect);
    GetClientRect(window, &client);
    int treeWidth = treeRect.right - treeRect.left;
    int height = client.bottom - 3;
    MoveWindow(tree, 3, 0, treeWidth, height, TRUE);
    if (page != nullptr) MoveWindow(page, treeWidth + 6, 0, client.right - treeWidth - 9, height, TRUE);
}

HWND PageOfItem(HWND window, HTREEITEM item) {
    return item != nullptr ? GetTreeItemData(window, IDC_PAGE_TREE, item) : nullptr;
}

void ActivatePage(HWND page, bool shown) {
    if (page == nullptr || !IsWindow(page)) return;
    EnableWindow(page, shown);
    ShowWindow(page, shown ? SW_SHOW : SW_HIDE);
    PostMessageA(page, WM_COMMAND, CMD_PAGE_ACTIVATE, shown ? 1 : 0);
}

void OnSelectionChanged(HWND window, const NMTREEVIEWA* change) {
    ActivatePage(PageOfItem(window, change->itemOld.hItem), false);
    HWND newPage = PageOfItem(window, change->itemNew.hItem);
    ActivatePage(newPage, true);
    LayoutMainWindow(window, newPage);
}

void OnNotify(HWND window, const NMHDR* header) {
    if (header->idFrom != IDC_PAGE_TREE) return;
    // An ANSI dialog gets the A form; the W form has the same layout for what is read here.
    if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
        OnSelectionChanged(window, reinterpret_cast<const NMTREEVIEWA*>(header));
    }
}

void OnTrayCallback(HWND window, WPARAM id, LPARAM mouse) {
    if (id != TRAY_ICON_ID) return;
    if (mouse == WM_LBUTTONUP && g_state.stop == 0) SendMessageA(window, WM_COMMAND, CMD_SHOW, 0);
    if (mouse == WM_RBUTTONUP) ShowTrayMenu(window);  // also when stopped: Exit must stay reachable
}

void OnTaskbarCreated(HWND window) {
    SetTrayIcon(window, NIM_DELETE, IDI_NORMAL, kProductName);
    SetTrayIcon(window, NIM_ADD, IDI_NORMAL, kProductName);
}

void OnBlinkTimer(HWND window, UINT_PTR timer) {
    if (g_state.stop != 0) {
        KillTimer(window, timer);
        return;
    }
    if (timer != TIMER_BLINK) return;
    BlinkStep step = AdvanceBlink(&s_main.blink);
    SetTrayIcon(window, NIM_MODIFY, step.icon, kProductName);
    if (step.finished) KillTimer(window, TIMER_BLINK);
}

void OnRing(HWND window) {
    StartBlink(&s_main.blink);
    SetTimer(window, TIMER_BLINK, kBlinkStepMs, nullptr);
    PlayRingSound();
}

// A call hung up on as soon as its number was known: what its first ring started goes quiet.
void OnCallBlocked(HWND window) {
    if (s_main.blink.timerRunning || s_main.blink.counter != 0) {
        KillTimer(window, TIMER_BLINK);
        s_main.blink = BlinkSeries{};
        SetTrayIcon(window, NIM_MODIFY, g_state.stop != 0 ? IDI_STOPPED : IDI_NORMAL, kProductName);
    }
    StopSoundFile();
}

void OnShow(HWND window) {
    ShowWindow(window, SW_SHOW);
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

void OnStop(HWND window) {
    g_state.stop = 1;
    SendMessageA(window, WM_CLOSE, 0, 0);
    SetTrayIcon(window, NIM_MODIFY, IDI_STOPPED, kProductName);
}

void OnExit(HWND window) {
    SendMessageA(window, WM_COMMAND, CMD_STOP, 0);
    DestroyWindow(window);
    // The icon stays until the last popup has closed, so the user can still see the program.
    WaitForPopupsClosed();
    SetTrayIcon(window, NIM_DELETE, IDI_NORMAL, kProductName);
}

void OnEnter(HWND window) {
    HWND page = GetSelectedPage(window);
    if (page != nullptr) SendMessageA(page, WM_COMMAND, IDOK, 0);
}

// Help at the section of the page on show. The ports' pages share the Modem section.
void ShowHelpOfPage(HWND window) {
    HTREEITEM item = GetSelectedTreeItem(window, IDC_PAGE_TREE);
    char title[256] = "";
    if (item != nullptr) GetTreeItemText(window, IDC_PAGE_TREE, item, title, sizeof title);
    if (item != nullptr && title[0] == 'C' && title[1] == 'O' && title[2] == 'M') {
        HTREEITEM parent = TreeView_GetParent(GetDlgItem(window, IDC_PAGE_TREE), item);
        if (parent != nullptr) GetTreeItemText(window, IDC_PAGE_TREE, parent, title, sizeof title);
    }
    ShowHelp(window, title[0] != '\0' ? title : nullptr);
}

void OnShowHelp(HWND window, LPARAM from) {
    if (from == kHelpFromCallPopup) ShowHelp(window, kHelpCallPopup);
    if (from == kHelpFromCrashReport) ShowHelp(window, kHelpCrashReport);
}

void OnCommand(HWND window, int id, LPARAM lParam) {
    switch (id) {
    case IDOK: OnEnter(window); break;
    case IDCANCEL: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_FILE_EXIT:  // a user who chooses File > Exit expects the program to end
    case IDM_TRAY_EXIT: OnExit(window); break;
    case CMD_STOP: OnStop(window); break;
    case CMD_RING: OnRing(window); break;
    case CMD_CALL_BLOCKED: OnCallBlocked(window); break;
    case CMD_SHOW: OnShow(window); break;
    case CMD_SHOW_HELP: OnShowHelp(window, lParam); break;
    case CMD_ROLE_CHANGED: BroadcastToPages(WM_COMMAND, CMD_ROLE_CHANGED, lParam); break;
    default: break;
    }
}

void OnClose(HWND window) {
    BroadcastToPages(WM_COMMAND, CMD_PAGE_SAVE, 0);
    ShowWindow(window, SW_HIDE);
}

void OnDestroy(HWND window) {
    g_state.stop = 1;  // port monitors and the network agent end their loops
    HTREEITEM selected = GetSelectedTreeItem(window, IDC_PAGE_TREE);
    if (selected != nullptr) {
        char text[256];
        GetTreeItemText(window, IDC_PAGE_TREE, selected, text, sizeof text);
        WriteSetting(kSettingSelectedPage.name, text, lstrlenA(text) + 1, REG_SZ);
    }
    CloseHelp(window);
    WriteSetting(kSettingMainWindow.name, nullptr, 0, REG_DWORD);
    PostQuitMessage(0);
}

// Whether the window's process was started from a file of our own name. The folder may differ
// (a copy started from elsewhere shares our settings all the same), and so may the way the system
// spells it.
bool RunsThisProgram(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    OwnedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    char image[MAX_PATH];
    DWORD imageLength = sizeof image;
    BOOL named = QueryFullProcessImageNameA(process.get(), 0, image, &imageLength);
    char own[MAX_PATH];
    DWORD ownLength = GetModuleFileNameA(nullptr, own, sizeof own);
    return named && ownLength > 0 && ownLength < sizeof own && SameFileName(image, own);
}

bool HasClass(HWND window, const char* expected) {
    char name[32];
    return window != nullptr && GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, expected) == 0;
}

// The marks of a window made from the main dialog template: the dialog class, no parent, and the
// page tree under its identifier. Message boxes and other programs' dialogs lack the tree; the
// pages are children.
bool LooksLikeMainWindow(HWND window) {
    return IsWindow(window) && HasClass(window, "#32770") && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0 &&
           HasClass(GetDlgItem(window, IDC_PAGE_TREE), WC_TREEVIEWA);
}

}  // namespace

HWND FindRunningCopy() {
    HWND window = ReadRunningMainWindow();
    return window != nullptr && LooksLikeMainWindow(window) && RunsThisProgram(window) ? window : nullptr;
}

HWND ReadRunningMainWindow() {
    DWORD stored = ReadSettingDword(kSettingMainWindow);
    // Sign-extend, as the system does when it widens a 32-bit handle.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(stored)));
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == s_main.taskbarCreated) {
        OnTaskbarCreated(window);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(window); return TRUE;
    case WM_NOTIFY: OnNotify(window, reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case WM_SIZE: LayoutMainWindow(window, GetSelectedPage(window)); return TRUE;
    case MSG_TRAY_CALLBACK: OnTrayCallback(window, wParam, lParam); return TRUE;
    case WM_TIMER: OnBlinkTimer(window, wParam); return TRUE;
    case WM_COMMAND: OnCommand(window, LOWORD(wParam), lParam); return TRUE;
    case WM_CLOSE: OnClose(window); return TRUE;
    case WM_HELP: ShowHelpOfPage(window); return TRUE;
    case WM_DESTROY: OnDestroy(window); return TRUE;
    default: return FALSE;
    }
}
