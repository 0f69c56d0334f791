#include "net/host_list_page.h"

#include <commctrl.h>

#include <atomic>

#include "base/messages.h"
#include "base/roles.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "net/host_list.h"
#include "net/host_list_ids.h"
#include "res/resource_ids.h"
#include "ui/enable_controls.h"
#include "ui/list_view.h"

namespace {

constexpr int kHostColumn = 0;
constexpr int kTimestampColumn = 1;
constexpr int kPermanentColumn = 2;

constexpr int CMD_HOSTS_SORT = CMD_HOST_LIST_PRIVATE_1;
constexpr int CMD_HOSTS_SELECTION = CMD_HOST_LIST_PRIVATE_2;

// Messages of this page alone, sent by the network agent. Each carries a whole operation, so
// the agent waits for the user-interface thread once per reply or per call, not once per cell.
constexpr UINT MSG_HOST_DISCOVERED = WM_APP + 1;  // lParam: the sender text
constexpr UINT MSG_HOST_TARGETS = WM_APP + 2;     // lParam: zero-filled kHostBlockSize block
// Answers no other window gives by chance, should the page be gone and its handle reused.
constexpr LRESULT kHostRenewed = 0x484F5331;
constexpr LRESULT kTargetsListed = 0x484F5332;

// "hosts" is read with the size the program has always used first. This program writes up to
// 16384 bytes, and a hand-edited value may be longer still: such a value is read again whole,
// since a list loaded empty would be written back empty at exit and the hosts lost.
constexpr DWORD kHostsReadSize = kSettingHosts.readSize;
constexpr DWORD kHostsBlockSize = 8192;
constexpr DWORD kLargeHostsBlockSize = 1024 * 1024;

// The selection the controls show: selected row count in the high 16 bits, first selected row
// in the low 16 bits (0xFFFF for none). kSelectionUnknown matches no real selection.
constexpr DWORD kSelectionUnknown = 0xFFF8;
constexpr DWORD kNoRow = 0xFFFF;

struct HostListState {
    std::atomic<HWND> page;  // UI thread, at creation and destruction; read by the agent
    // The user-interface thread alone touches these.
    DWORD selectionKey;
    char yesText[32];  // "Yes" of the Permanent column, from the string resource on first use
};
HostListState s_hosts;

// One row's cells as the page reads them back.
struct HostRow {
    char host[kHostTextSize];
    char timestamp[kTimestampSize];
    char permanent[kPermanentMarkSize];
};

const char* GetYesText() {
    if (s_hosts.yesText[0] == '\0' && LoadStringA(g_win.instance, IDS_YES, s_hosts.yesText, sizeof s_hosts.yesText) <= 0) {
        CopyText(s_hosts.yesText, sizeof s_hosts.yesText, "Yes");
    }
    return s_hosts.yesText;
}

DateTime LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

char* StampNow(char* buffer, size_t size) { return FormatTimestamp(LocalNow(), buffer, size); }

int RowCount(HWND page) {
    LRESULT count = SendDlgItemMessageA(page, IDC_HOST_LIST, LVM_GETITEMCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

void ReadRow(HWND page, int row, HostRow* cells) {
    GetListCell(page, IDC_HOST_LIST, row, kHostColumn, cells->host, sizeof cells->host);
    GetListCell(page, IDC_HOST_LIST, row, kTimestampColumn, cells->timestamp, sizeof cells->timestamp);
    GetListCell(page, IDC_HOST_LIST, row, kPermanentColumn, cells->permanent, sizeof cells->permanent);
}

void AddHostRow(HWND page, const char* host, const char* timestamp, bool permanent) {
    AddListRow(page, IDC_HOST_LIST, 0, host, timestamp, permanent ? GetYesText() : "", static_cast<const char*>(nullptr));
}

void PostCommand(HWND page, int id) { PostMessageA(page, WM_COMMAND, id, 0); }

// --- Loading and saving "hosts".

// The stored text in a zero-filled block the caller frees, or nullptr when there is none.
char* ReadStoredHosts() {
    DWORD sizes[] = {kHostsBlockSize, kLargeHostsBlockSize};
    for (DWORD size : sizes) {
        char* block = static_cast<char*>(LocalAlloc(LPTR, size));
        if (block == nullptr) return nullptr;
        // Two bytes stay zero behind whatever was read: the end of the last entry and of the list.
        int type = ReadSetting(kSettingHosts.name, block, size == kHostsBlockSize ? kHostsReadSize : size - 2);
        if (type == REG_SZ) return block;
        LocalFree(block);
        if (type != -1) return nullptr;  // there, but not a text
    }
    return nullptr;
}

void LoadHostList(HWND page) {
    char* block = ReadStoredHosts();
    if (block == nullptr) return;
    char now[kTimestampSize];
    StampNow(now, sizeof now);
    char* cursor = block;
    StoredHost entry{};
    while (NextStoredHost(&cursor, &entry)) {
        // An entry without a time stamp is a host typed into the value by hand: it counts as
        // entered now.
        AddHostRow(page, entry.host, entry.timestamp != nullptr ? entry.timestamp : now, entry.permanent);
    }
    PostCommand(page, CMD_HOSTS_SORT);
    LocalFree(block);
}

void SaveHostList(HWND page) {
    char* block = static_cast<char*>(LocalAlloc(LPTR, kHostBlockSize));
    if (block == nullptr) return;
    HostTextWriter writer{block, kHostBlockSize, 0};
    HostRow cells;
    int rows = RowCount(page);
    for (int row = 0; row < rows && writer.used <= kHostBlockFill; ++row) {
        ReadRow(page, row, &cells);
        AppendStoredHost(&writer, cells.host, cells.timestamp, cells.permanent[0] != '\0');
    }
    WriteSetting(kSettingHosts.name, block, static_cast<DWORD>(writer.used + 1), REG_SZ);
    LocalFree(block);
}

// --- The agent's operations, carried out on the user-interface thread.

LRESULT OnHostDiscovered(HWND page, const char* sender) {
    char host[kHostTextSize];
    CopyText(host, sizeof host, sender);
    char stamp[kTimestampSize];
    StampNow(stamp, sizeof stamp);
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;  // whole text, without regard to case
    find.psz = host;
    int row = static_cast<int>(SendDlgItemMessageA(page, IDC_HOST_LIST, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(&find)));
    if (row >= 0) {
        SetListCell(page, IDC_HOST_LIST, row, kTimestampColumn, stamp);
    } else {
        AddHostRow(page, host, stamp, false);
    }
    return kHostRenewed;
}

LRESULT OnListTargets(HWND page, char* block) {
    HostTextWriter writer{block, kHostBlockSize, 0};
    DateTime now = LocalNow();
    HostRow cells;
    int rows = RowCount(page);
    for (int row = 0; row < rows && writer.used <= kHostBlockFill; ++row) {
        ReadRow(page, row, &cells);
        if (IsTargetHost(cells.host, cells.timestamp, cells.permanent[0] != '\0', now)) {
            AppendTargetHost(&writer, cells.host);
        }
    }
    return kTargetsListed;
}

// --- The page, on the user-interface thread.

bool ControlsUsable() { return GetRole() == kRoleBroadcast; }

void UpdateHostControls(HWND page, int index, int count) {
    // Outside role 3 the whole page stays disabled, whatever the selection.
    bool usable = ControlsUsable();
    bool one = usable && count == 1;
    EnableWindow(GetDlgItem(page, IDC_HOST_EDIT), one);
    EnableWindow(GetDlgItem(page, IDC_HOST_CHANGE), one);
    EnableWindow(GetDlgItem(page, IDC_HOST_PERMANENT), one);
    EnableWindow(GetDlgItem(page, IDC_HOST_DELETE), usable && count >= 1);
    HostRow cells = {};
    if (index >= 0 && count == 1) ReadRow(page, index, &cells);
    SetDlgItemTextA(page, IDC_HOST_EDIT, cells.host);
    CheckDlgButton(page, IDC_HOST_PERMANENT, cells.permanent[0] != '\0' ? BST_CHECKED : BST_UNCHECKED);
}

void UpdateSelection(HWND page) {
    int first = GetNextSelectedRow(page, IDC_HOST_LIST, -1);
    int count = static_cast<int>(SendDlgItemMessageA(page, IDC_HOST_LIST, LVM_GETSELECTEDCOUNT, 0, 0));
    DWORD key = (static_cast<DWORD>(count) << 16) | (first >= 0 ? static_cast<DWORD>(first) & 0xFFFF : kNoRow);
    // Refilling the editor while the user types in it would throw the typing away.
    if (key == s_hosts.selectionKey) return;
    s_hosts.selectionKey = key;
    UpdateHostControls(page, first, count);
}

void RequestSelectionUpdate(HWND page, bool force) {
    if (force) s_hosts.selectionKey = kSelectionUnknown;
    PostCommand(page, CMD_HOSTS_SELECTION);
}

// The row the editor shows; -1 when it shows none.
int EditedRow(HWND page) {
    DWORD low = s_hosts.selectionKey & 0xFFFF;
    if (s_hosts.selectionKey >> 16 != 1 || low >= static_cast<DWORD>(RowCount(page))) return -1;
    return static_cast<int>(low);
}

void ApplyHostEdit(HWND page, int row) {
    if (row < 0) return;
    char host[kHostTextSize];
    GetDlgItemTextA(page, IDC_HOST_EDIT, host, sizeof host);
    StripBlanks(host);
    char stamp[kTimestampSize];
    StampNow(stamp, sizeof stamp);
    bool permanent = IsDlgButtonChecked(page, IDC_HOST_PERMANENT) == BST_CHECKED;
    SetListCell(page, IDC_HOST_LIST, row, kHostColumn, host);
    SetListCell(page, IDC_HOST_LIST, row, kTimestampColumn, stamp);
    SetListCell(page, IDC_HOST_LIST, row, kPermanentColumn, permanent ? GetYesText() : "");
    SelectListRow(page, IDC_HOST_LIST, row);
    PostCommand(page, CMD_HOSTS_SORT);
}

void DeleteSelectedHosts(HWND page) {
    DeleteSelectedRows(page, IDC_HOST_LIST);
    PostCommand(page, CMD_HOSTS_SORT);
}

void NewHostRow(HWND page) {
    AddEmptyListRow(page, IDC_HOST_LIST, true);
    // The editor opens for a single selected row only; it must be open before it can take the
    // focus.
    UpdateSelection(page);
    SetFocus(GetDlgItem(page, IDC_HOST_EDIT));
}

struct SortKey {
    bool permanent;
    char timestamp[kTimestampSize];
};

int CALLBACK CompareHostRows(LPARAM a, LPARAM b, LPARAM keys) {
    const auto* rows = reinterpret_cast<const SortKey*>(keys);
    return CompareHostOrder(rows[a].permanent, rows[a].timestamp, rows[b].permanent, rows[b].timestamp);
}

void SortHosts(HWND page) {
    int rows = RowCount(page);
    // The control moves rows while it sorts, so a comparison reading rows by index would read
    // whatever row stands there at that moment: the keys are read first, and each row's item
    // data says which key is its own.
    auto* keys = static_cast<SortKey*>(LocalAlloc(LPTR, sizeof(SortKey) * (rows > 0 ? rows : 1)));
    if (keys == nullptr) return;
    for (int row = 0; row < rows; ++row) {
        char permanent[kPermanentMarkSize];
        GetListCell(page, IDC_HOST_LIST, row, kPermanentColumn, permanent, sizeof permanent);
        keys[row].permanent = permanent[0] != '\0';
        GetListCell(page, IDC_HOST_LIST, row, kTimestampColumn, keys[row].timestamp, sizeof keys[row].timestamp);
        SetListRowData(page, IDC_HOST_LIST, row, row);
    }
    SendDlgItemMessageA(page, IDC_HOST_LIST, LVM_SORTITEMS, reinterpret_cast<WPARAM>(keys),
                        reinterpret_cast<LPARAM>(CompareHostRows));
    LocalFree(keys);
    RequestSelectionUpdate(page, false);
}

void OnRoleChanged(HWND page) {
    bool usable = ControlsUsable();
    EnableDialogControls(page, usable, 0);
    if (usable) RequestSelectionUpdate(page, true);
}

void OnCommand(HWND page, int id, int code) {
    bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDC_HOST_NEW:
        if (clicked) NewHostRow(page);
        break;
    case IDOK:  // Enter, passed on by the main window: only the editor answers it
        if (GetFocus() == GetDlgItem(page, IDC_HOST_EDIT)) ApplyHostEdit(page, EditedRow(page));
        break;
    case IDC_HOST_CHANGE:
        if (clicked) ApplyHostEdit(page, EditedRow(page));
        break;
    case IDC_HOST_DELETE:
        if (clicked) DeleteSelectedHosts(page);
        break;
    case CMD_HOSTS_SORT: SortHosts(page); break;
    case CMD_HOSTS_SELECTION: UpdateSelection(page); break;
    case CMD_ROLE_CHANGED: OnRoleChanged(page); break;
    default: break;
    }
}

void OnNotify(HWND page, const NMHDR* header) {
    if (header->idFrom != IDC_HOST_LIST) return;
    if (header->code == LVN_KEYDOWN) {
        WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
        if (key == VK_INSERT) PostCommand(page, IDC_HOST_NEW);
        if (key == VK_DELETE) PostCommand(page, IDC_HOST_DELETE);
    } else if (header->code == LVN_ITEMCHANGED) {
        PostCommand(page, CMD_HOSTS_SELECTION);
    }
}

void OnInitDialog(HWND page) {
    s_hosts.page = page;
    SendDlgItemMessageA(page, IDC_HOST_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_HOST_LIST, kHostColumn, 40, IDS_COLUMN_HOST);
    AddListColumn(page, IDC_HOST_LIST, kTimestampColumn, 40, IDS_COLUMN_TIMESTAMP);
    AddListColumn(page, IDC_HOST_LIST, kPermanentColumn, 19, IDS_COLUMN_PERMANENT);
    LoadHostList(page);
    RequestSelectionUpdate(page, true);
}

void OnDestroy(HWND page) {
    SaveHostList(page);
    s_hosts.page = nullptr;
}

// The result of a message that has one; a dialog procedure hands it over this way.
INT_PTR Answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK HostListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: OnNotify(page, reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case MSG_HOST_DISCOVERED: return Answer(page, OnHostDiscovered(page, reinterpret_cast<const char*>(lParam)));
    case MSG_HOST_TARGETS: return Answer(page, OnListTargets(page, reinterpret_cast<char*>(lParam)));
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

HWND CreateHostListPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_HOST_LIST_PAGE), mainWindow, HostListPageProc, 0);
}

int AddDiscoveredHost(const char* sender) {
    HWND page = s_hosts.page;
    if (sender == nullptr || page == nullptr) return 0;
    return SendMessageA(page, MSG_HOST_DISCOVERED, 0, reinterpret_cast<LPARAM>(sender)) == kHostRenewed ? 1 : 0;
}

char* GetTargetHosts() {
    char* block = static_cast<char*>(LocalAlloc(LPTR, kHostBlockSize));
    if (block == nullptr) return nullptr;
    HWND page = s_hosts.page;
    // A page gone meanwhile leaves the block as it was: zero-filled, the empty list.
    if (page != nullptr && SendMessageA(page, MSG_HOST_TARGETS, 0, reinterpret_cast<LPARAM>(block)) != kTargetsListed) {
        ZeroMemory(block, kHostBlockSize);
    }
    return block;
}
