#include "ui/list_view.h"

#include <commctrl.h>

#include "base/text_utils.h"
#include "base/win_state.h"
#include "ui/column_width.h"

namespace {

// A row counts as empty when this many cells from column 0 on hold no text.
constexpr int kEmptyRowColumns = 30;

// For the messages whose lParam points at a structure or text of ours.
LRESULT SendPointer(HWND dialog, int id, UINT message, WPARAM wParam, const void* lParam) {
    return SendDlgItemMessageA(dialog, id, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

HINSTANCE ResourceInstance() { return g_win.instance != nullptr ? g_win.instance : GetModuleHandleA(nullptr); }

bool SetRowState(HWND dialog, int id, int row, UINT state) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    return SendPointer(dialog, id, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item) != 0;
}

}  // namespace

int AddListColumn(HWND dialog, int id, int column, int percent, UINT titleId) {
    char title[512] = "";
    if (LoadStringA(ResourceInstance(), titleId, title, sizeof title) <= 0) title[0] = '\0';
    RECT client = {};
    GetClientRect(GetDlgItem(dialog, id), &client);
    LVCOLUMNA descriptor = {};
    descriptor.mask = LVCF_WIDTH | LVCF_TEXT;
    descriptor.cx = ListColumnWidth(client.right - client.left, GetSystemMetrics(SM_CXVSCROLL), percent);
    descriptor.pszText = title;
    return static_cast<int>(SendPointer(dialog, id, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), &descriptor));
}

std::vector<size_t> SelectedListRows(HWND list) {
    std::vector<size_t> rows;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        rows.push_back(static_cast<size_t>(row));
    }
    return rows;
}

void ReorderListRows(HWND list, const std::function<std::vector<size_t>()>& reorder) {
    std::vector<size_t> selected = SelectedListRows(list);
    int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    std::vector<size_t> moved = reorder();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : selected) {
        if (row < moved.size()) ListView_SetItemState(list, static_cast<int>(moved[row]), LVIS_SELECTED, LVIS_SELECTED);
    }
    if (focused >= 0 && static_cast<size_t>(focused) < moved.size()) {
        ListView_SetItemState(list, static_cast<int>(moved[static_cast<size_t>(focused)]), LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

int GetNextSelectedRow(HWND dialog, int id, int start) {
    return static_cast<int>(Send(dialog, id, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0)));
}

bool SelectListRow(HWND dialog, int id, int row) {
    // Each search starts behind the row just cleared; the check on progress ends the loop on a
    // control that answers every search with the same row (a missing control answers 0).
    for (int selected = GetNextSelectedRow(dialog, id, -1); selected >= 0;) {
        SetRowState(dialog, id, selected, 0);
        int next = GetNextSelectedRow(dialog, id, selected);
        if (next <= selected) break;
        selected = next;
    }
    // Row -1 addresses every row in LVM_SETITEMSTATE: asking for no row must not select all.
    if (row < 0) return false;
    bool selected = SetRowState(dialog, id, row, LVIS_SELECTED | LVIS_FOCUSED);
    Send(dialog, id, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return selected;
}

LRESULT AnswerFindItem(const NMHDR* header, const RowText& rowText) {
    if (header == nullptr) return -1;
    // The two forms differ only in the text's width.
    const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
    UINT flags = find->lvfi.flags;
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find->lvfi.psz == nullptr) return -1;
    char typed[2 * MAX_PATH] = "";
    if (header->code == LVN_ODFINDITEMW) {
        const auto* wide = reinterpret_cast<const NMLVFINDITEMW*>(header);
        if (WideCharToMultiByte(CP_ACP, 0, wide->lvfi.psz, -1, typed, sizeof typed, nullptr, nullptr) == 0) return -1;
    } else {
        CopyText(typed, sizeof typed, find->lvfi.psz);
    }
    LRESULT rows = SendMessageA(header->hwndFrom, LVM_GETITEMCOUNT, 0, 0);
    return FindListRow(rows > 0 ? static_cast<size_t>(rows) : 0, find->iStart, typed, (flags & LVFI_PARTIAL) == 0,
                       (flags & LVFI_WRAP) != 0, rowText);
}
