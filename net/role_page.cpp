#include "net/role_page.h"

#include "base/messages.h"
#include "base/process_state.h"
#include "base/roles.h"
#include "base/settings.h"
#include "net/role_page_ids.h"
#include "res/resource_ids.h"
#include "ui/dialog_page.h"

namespace {

// What the settings store holds for "role", as far as this page knows. Starts as no role at all,
// so the first save always writes. The user-interface thread alone touches it.
struct RolePageState {
    int64_t lastSavedRole;
};
constexpr int64_t kNothingSaved = -1;
RolePageState s_role{kNothingSaved};

bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void SetCheck(HWND page, int id, bool checked) { CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED); }

// Each click re-runs the chain through a posted command, so a click, the start and the lock-out
// all reach the other pages the same way.
void Rerun(HWND page, int id) { PostMessageA(page, WM_COMMAND, id, 0); }

void OnInitDialog(HWND page) {
    s_role.lastSavedRole = kNothingSaved;
    uint32_t role = GetRole();
    bool modem = role == kRoleModem || role == kRoleBroadcast;
    SetCheck(page, IDC_ROLE_MODEM, modem);
    SetCheck(page, IDC_ROLE_BROADCAST, role == kRoleBroadcast);
    SetCheck(page, IDC_ROLE_NETWORK, !modem);
    Rerun(page, modem ? IDC_ROLE_MODEM : IDC_ROLE_NETWORK);
}

void OnModemChosen(HWND page) {
    if (!IsChecked(page, IDC_ROLE_MODEM)) return;
    EnableWindow(GetDlgItem(page, IDC_ROLE_BROADCAST), TRUE);
    Rerun(page, IDC_ROLE_BROADCAST);
}

// The check mark stays while the box is disabled, so going back to the modem restores the
// broadcasting the user had chosen.
void OnNetworkChosen(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_ROLE_BROADCAST), FALSE);
    Rerun(page, IDC_ROLE_BROADCAST);
}

void OnBroadcastChanged(HWND page) {
    uint32_t role = kRoleListen;
    if (IsWindowEnabled(GetDlgItem(page, IDC_ROLE_BROADCAST))) {
        role = IsChecked(page, IDC_ROLE_BROADCAST) ? kRoleBroadcast : kRoleModem;
    }
    // Another broadcaster was heard (this copy may just have stepped down): the page must not
    // make it a broadcaster again, also not from the state it showed at start.
    if (role == kRoleBroadcast && g_state.otherBroadcasterSeen != 0) {
        SetCheck(page, IDC_ROLE_MODEM, false);
        SetCheck(page, IDC_ROLE_NETWORK, true);
        EnableWindow(GetDlgItem(page, IDC_ROLE_BROADCAST), FALSE);
        role = kRoleListen;
    }
    g_state.role = role;
    Rerun(page, CMD_REFRESH);
}

void OnSave() {
    uint32_t role = GetRole();
    if (static_cast<int64_t>(role) == s_role.lastSavedRole) return;
    s_role.lastSavedRole = role;
    WriteSettingDword(kSettingRole.name, role);
}

// Two broadcasters on one network would send every call twice to every computer: once another
// one has been heard, this computer may only listen, for the rest of the run.
void OnActivate(HWND page, bool shown) {
    if (!shown || g_state.otherBroadcasterSeen == 0) return;
    if (IsChecked(page, IDC_ROLE_MODEM)) {
        SetCheck(page, IDC_ROLE_MODEM, false);
        SetCheck(page, IDC_ROLE_NETWORK, true);
        Rerun(page, IDC_ROLE_NETWORK);
    }
    EnableWindow(GetDlgItem(page, IDC_ROLE_MODEM), FALSE);
}

void OnCommand(HWND page, int id, int code, LPARAM lParam) {
    // The buttons answer clicks alone; the page's own commands come as code 0, BN_CLICKED too.
    if (code != BN_CLICKED) return;
    switch (id) {
    case IDC_ROLE_MODEM: OnModemChosen(page); break;
    case IDC_ROLE_NETWORK: OnNetworkChosen(page); break;
    case IDC_ROLE_BROADCAST: OnBroadcastChanged(page); break;
    case CMD_REFRESH:  // the main window tells every page
        SendMessageA(GetAncestor(page, GA_ROOT), WM_COMMAND, CMD_ROLE_CHANGED, GetRole());
        break;
    case CMD_PAGE_SAVE: OnSave(); break;
    case CMD_PAGE_ACTIVATE: OnActivate(page, lParam != 0); break;
    default: break;
    }
}

INT_PTR CALLBACK RolePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam), lParam); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateRolePage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_ROLE_PAGE, RolePageProc);
}
