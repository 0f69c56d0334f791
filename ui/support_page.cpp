#include "ui/support_page.h"

#include <shellapi.h>

#include "app/start_with_windows.h"
#include "base/data_file_path.h"
#include "base/messages.h"
#include "base/product.h"
#include "base/unique_handle.h"
#include "present/caller_log_page.h"
#include "res/resource_ids.h"
#include "ui/home_page.h"
#include "ui/large_font.h"
#include "ui/link_label.h"
#include "ui/support_mail.h"
#include "ui/support_page_ids.h"
#include "ui/dialog_page.h"

namespace {

// The title's font lives as long as the page; the property holds it.
const char kTitleFontProperty[] = "TitleFont";

void OnInitDialog(HWND page) {
    HFONT large = CreateLargeFont();
    if (large != nullptr) {
        SetPropA(page, kTitleFontProperty, large);
        SendDlgItemMessageA(page, IDC_SUPPORT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(large), TRUE);
    }
    char title[64];
    wsprintfA(title, "%s v%s", kProductName, kProductVersion);
    SetDlgItemTextA(page, IDC_SUPPORT_VERSION, title);
    SetDlgItemTextA(page, IDC_SUPPORT_RELEASE_DATE, kReleaseDate);
    // The links show exactly what they open; the home page is a setting of the build.
    SetDlgItemTextA(page, IDC_SUPPORT_WEBSITE, kHomePageAddress);
    SetDlgItemTextA(page, IDC_SUPPORT_EMAIL, kSupportAddress);
    MakeLinkLabel(page, IDC_SUPPORT_WEBSITE, true);
    MakeLinkLabel(page, IDC_SUPPORT_EMAIL, true);
    // A long folder keeps its width and loses the middle of its path instead.
    MakeLinkLabel(page, IDC_SUPPORT_FILES, false);
}

// The box shows what the registry holds, also after a write that was refused.
void ShowStartWithWindows(HWND page) {
    CheckDlgButton(page, IDC_SUPPORT_START_WITH_WINDOWS, StartsWithWindows() ? BST_CHECKED : BST_UNCHECKED);
}

// What may have changed since the page was last shown: the user may have taken the program off
// the sign-in list by hand, and the files go where the program may write them.
void ShowCurrentState(HWND page) {
    ShowStartWithWindows(page);
    char log[MAX_PATH];
    char folder[MAX_PATH];
    GetCallerLogPath(log);
    FolderOfPath(log, folder, sizeof folder);
    SetDlgItemTextA(page, IDC_SUPPORT_FILES, folder);
    InvalidateRect(GetDlgItem(page, IDC_SUPPORT_FILES), nullptr, TRUE);
}

void OpenFilesFolder(HWND page) {
    char folder[MAX_PATH];
    GetDlgItemTextA(page, IDC_SUPPORT_FILES, folder, sizeof folder);
    if (folder[0] != '\0') ShellExecuteA(page, "open", folder, nullptr, nullptr, SW_SHOWNORMAL);
}

void OnStartWithWindowsClicked(HWND page) {
    SetStartWithWindows(IsDlgButtonChecked(page, IDC_SUPPORT_START_WITH_WINDOWS) == BST_CHECKED);
    ShowStartWithWindows(page);
}

void OnCommand(HWND page, int id, int code, LPARAM lParam) {
    if (id == CMD_PAGE_ACTIVATE) {
        if (lParam != 0) ShowCurrentState(page);
        return;
    }
    if (id == IDC_SUPPORT_START_WITH_WINDOWS && code == BN_CLICKED) OnStartWithWindowsClicked(page);
    if (code != STN_CLICKED) return;
    if (id == IDC_SUPPORT_WEBSITE) OpenHomePage(page);
    if (id == IDC_SUPPORT_EMAIL) OpenSupportMail(page);
    if (id == IDC_SUPPORT_FILES) OpenFilesFolder(page);
}

void OnDestroy(HWND page) {
    OwnedFont large(static_cast<HFONT>(RemovePropA(page, kTitleFontProperty)));
    if (!large) return;
    // The title lets go of the font before it is deleted.
    SendDlgItemMessageA(page, IDC_SUPPORT_VERSION, WM_SETFONT, 0, FALSE);
}

}  // namespace

INT_PTR CALLBACK SupportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        ShowCurrentState(page);
        return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam), lParam); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

HWND CreateSupportPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_SUPPORT_PAGE, SupportPageProc);
}
