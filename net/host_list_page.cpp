#include "net/host_list_page.h"

#include <commctrl.h>

#include <vector>

#include "base/messages.h"
#include "base/roles.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "net/host_list_ids.h"
#include "net/shared_host_list.h"
#include "res/resource_ids.h"
#include "ui/dialog_page.h"
#include "ui/enable_controls.h"
#include "ui/list_view.h"

namespace {

constexpr int kHostColumn = 0;
constexpr int kTimestampColumn = 1;
constexpr int kPermanentColumn = 2;

constexpr int CMD_HOSTS_SELECTION = CMD_HOST_LIST_PRIVATE;

// "hosts" is read with the size the program has always used first. This program writes up to
// 16384 bytes, and a hand-edited value may be longer still: such a value is read again whole,
// since a list loaded empty would be written back empty at exit and the hosts lost.
constexpr DWORD kHostsBlockSize = 8192;
constexpr DWORD kLargeHostsBlockSize = 1024 * 1024;

// The hosts the page shows are the program's host list (g_hostList). The list control is an
// owner-data view of it: it holds selection and focus, and asks for each cell it draws.
struct HostListState {
    // The user-interface thread alone touches these.
    int shownFirst;  // the first selected row and how many are selected, as the editor shows them;
    int shownCount;  // -1: the next check fills the editor, whatever the selection
    char yesText[32];  // "Yes" of the Permanent column, from the string resource
};
HostListState s_hosts;

HWND List(HWND page) { return GetDlgItem(page, IDC_HOST_LIST); }

size_t ModelRows() { return WithHostList([](HostListModel* list) { return list->rows.size(); }); }

void PostCommand(HWND page, int id) { PostMessageA(page, WM_COMMAND, id, 0); }

// The list follows the model's row count (the agent may have added rows meanwhile) and draws its
// rows again.
void ShowRows(HWND page) {
    HWND list = List(page);
    SendMessageA(list, LVM_SETITEMCOUNT, ModelRows(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    InvalidateRect(list, nullptr, TRUE);
}

// The stored text in a zero-filled block; empty when there is none.
std::vector<char> ReadStoredHosts() {
    for (DWORD size : {kHostsBlockSize, kLargeHostsBlockSize}) {
        std::vector<char> block(size);
        // Two bytes stay zero behind whatever was read: the end of the last entry and of the list.
        int type = ReadSetting(kSettingHosts.name, block.data(), size == kHostsBlockSize ? kSettingHosts.readSize : size - 2);
        if (type == REG_SZ) return block;
        if (type != -1) break;  // there, but not a text
    }
    return {};
}

void LoadHostList() {
    std::vector<char> block = ReadStoredHosts();
    auto hold = LockHostList();
    g_hostList = HostListModel{};
    if (!block.empty()) LoadStoredHosts(&g_hostList, block.data(), LocalNow());
    SortHostList(&g_hostList);
}

// Every close writes the list, changed or not: the hosts' time stamps move on while it runs.
void SaveHostList() {
    std::vector<char> block(kHostBlockSize);
    size_t used =
        WithHostList([&](HostListModel* list) { return StoredHostsText(*list, block.data(), block.size()); });
    WriteSetting(kSettingHosts.name, block.data(), static_cast<DWORD>(used + 1), REG_SZ);
}

// The list asks for the texts of the cells it draws.
void OnGetDisplayInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    auto hold = LockHostList();
    const char* text = "";
    if (item.iItem >= 0 && static_cast<size_t>(item.iItem) < g_hostList.rows.size()) {
        const HostListRow& row = g_hostList.rows[static_cast<size_t>(item.iItem)];
        if (item.iSubItem == kHostColumn) text = row.host.c_str();
        if (item.iSubItem == kTimestampColumn) text = row.timestamp.c_str();
        if (item.iSubItem == kPermanentColumn && row.permanent) text = s_hosts.yesText;
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

// Type-to-find: the hosts are searched under the lock, so no row moves while it runs.
LRESULT OnFindItem(const NMHDR* header) {
    auto hold = LockHostList();
    return AnswerFindItem(header, [](size_t row) {
        return row < g_hostList.rows.size() ? g_hostList.rows[row].host.c_str() : "";
    });
}

// The editor and the buttons follow the selection.
void UpdateSelection(HWND page) {
    int first = GetNextSelectedRow(page, IDC_HOST_LIST, -1);
    int count = static_cast<int>(SendMessageA(List(page), LVM_GETSELECTEDCOUNT, 0, 0));
    // Refilling the editor while the user types in it would throw the typing away.
    if (first == s_hosts.shownFirst && count == s_hosts.shownCount) return;
    s_hosts.shownFirst = first;
    s_hosts.shownCount = count;
    // Outside role 3 the whole page stays disabled, whatever the selection.
    bool usable = GetRole() == kRoleBroadcast;
    bool one = usable && count == 1;
    for (int id : {IDC_HOST_EDIT, IDC_HOST_CHANGE, IDC_HOST_PERMANENT}) EnableWindow(GetDlgItem(page, id), one);
    EnableWindow(GetDlgItem(page, IDC_HOST_DELETE), usable && count >= 1);
    HostListRow shown{};
    if (first >= 0 && count == 1) {
        auto hold = LockHostList();
        if (static_cast<size_t>(first) < g_hostList.rows.size()) shown = g_hostList.rows[static_cast<size_t>(first)];
    }
    SetDlgItemTextA(page, IDC_HOST_EDIT, shown.host.c_str());
    CheckDlgButton(page, IDC_HOST_PERMANENT, shown.permanent ? BST_CHECKED : BST_UNCHECKED);
}

void RequestSelectionUpdate(HWND page, bool force) {
    if (force) s_hosts.shownCount = -1;
    PostCommand(page, CMD_HOSTS_SELECTION);
}

// The row the editor shows; -1 when it shows none.
int EditedRow() {
    bool shown = s_hosts.shownCount == 1 && static_cast<size_t>(s_hosts.shownFirst) < ModelRows();
    return shown ? s_hosts.shownFirst : -1;
}

// The page keeps its rows in order after every change of the user's.
void SortHosts(HWND page) {
    ReorderListRows(List(page), [] { return WithHostList(SortHostList); });
    ShowRows(page);
    RequestSelectionUpdate(page, false);
}

void ApplyHostEdit(HWND page, int row) {
    if (row < 0) return;
    char host[kHostTextSize];
    GetDlgItemTextA(page, IDC_HOST_EDIT, host, sizeof host);
    bool permanent = IsDlgButtonChecked(page, IDC_HOST_PERMANENT) == BST_CHECKED;
    WithHostList([&](HostListModel* list) {
        return ChangeHostRow(list, static_cast<size_t>(row), host, permanent, LocalNow());
    });
    SelectListRow(page, IDC_HOST_LIST, row);
    SortHosts(page);
}

void DeleteSelectedHosts(HWND page) {
    HWND list = List(page);
    std::vector<size_t> selected = SelectedListRows(list);
    WithHostList([&](HostListModel* list) { return DeleteHostRows(list, selected); });
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    SortHosts(page);
}

void NewHostRow(HWND page) {
    size_t row = WithHostList(AddEmptyHostRow);
    ShowRows(page);
    SelectListRow(page, IDC_HOST_LIST, static_cast<int>(row));
    // The editor opens for a single selected row only, and must be open to take the focus.
    UpdateSelection(page);
    SetFocus(GetDlgItem(page, IDC_HOST_EDIT));
}

void OnRoleChanged(HWND page) {
    bool usable = GetRole() == kRoleBroadcast;
    EnableDialogControls(page, usable, 0);
    if (usable) RequestSelectionUpdate(page, true);
}

void OnCommand(HWND page, int id, int code) {
    // The buttons answer clicks alone; the page's own commands come as code 0, BN_CLICKED too.
    if (code != BN_CLICKED) return;
    switch (id) {
    case IDC_HOST_NEW: NewHostRow(page); break;
    case IDOK:  // Enter, passed on by the main window: only the editor answers it
        if (GetFocus() == GetDlgItem(page, IDC_HOST_EDIT)) ApplyHostEdit(page, EditedRow());
        break;
    case IDC_HOST_CHANGE: ApplyHostEdit(page, EditedRow()); break;
    case IDC_HOST_DELETE: DeleteSelectedHosts(page); break;
    case CMD_REFRESH: ShowRows(page); break;  // the agent renewed or added a host
    case CMD_HOSTS_SELECTION: UpdateSelection(page); break;
    case CMD_ROLE_CHANGED: OnRoleChanged(page); break;
    default: break;
    }
}

LRESULT OnNotify(HWND page, NMHDR* header) {
    if (header->idFrom != IDC_HOST_LIST) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header)); break;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: return OnFindItem(header);
    case LVN_KEYDOWN: {
        WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
        if (key == VK_INSERT) PostCommand(page, IDC_HOST_NEW);
        if (key == VK_DELETE) PostCommand(page, IDC_HOST_DELETE);
        break;
    }
    // A range of rows (shift and click) changes with one LVN_ODSTATECHANGED instead.
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: PostCommand(page, CMD_HOSTS_SELECTION); break;
    default: break;
    }
    return 0;
}

void OnInitDialog(HWND page) {
    if (LoadStringA(g_win.instance, IDS_YES, s_hosts.yesText, sizeof s_hosts.yesText) <= 0) {
        CopyText(s_hosts.yesText, sizeof s_hosts.yesText, "Yes");
    }
    SendMessageA(List(page), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_HOST_LIST, kHostColumn, 40, IDS_COLUMN_HOST);
    AddListColumn(page, IDC_HOST_LIST, kTimestampColumn, 40, IDS_COLUMN_TIMESTAMP);
    AddListColumn(page, IDC_HOST_LIST, kPermanentColumn, 19, IDS_COLUMN_PERMANENT);
    LoadHostList();
    SetHostListView(page);
    ShowRows(page);
    RequestSelectionUpdate(page, true);
}

// The list goes with its page, as it always has: a page made again loads it again.
void OnDestroy() {
    SetHostListView(nullptr);
    SaveHostList();
    auto hold = LockHostList();
    g_hostList = HostListModel{};
}

INT_PTR CALLBACK HostListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: return AnswerMessage(page, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateHostListPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_HOST_LIST_PAGE, HostListPageProc);
}
