#include "ui/list_view.h"

#include <commctrl.h>

#include <climits>
#include <cstdarg>
#include <cstring>

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

int RowCount(HWND dialog, int id) {
    LRESULT count = Send(dialog, id, LVM_GETITEMCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

bool SetRowState(HWND dialog, int id, int row, UINT state) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    return SendPointer(dialog, id, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item) != 0;
}

bool IsRowEmpty(HWND dialog, int id, int row) {
    char cell[300];
    for (int column = 0; column < kEmptyRowColumns; ++column) {
        if (!GetListCell(dialog, id, row, column, cell, sizeof cell)) return false;
        if (cell[0] != '\0') return false;
    }
    return true;
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

int AddListRow(HWND dialog, int id, LPARAM data, ...) {
    const char* texts[kMaxRowTexts];
    int count = 0;
    va_list arguments;
    va_start(arguments, data);
    for (const char* text = va_arg(arguments, const char*); text != nullptr && count < kMaxRowTexts;
         text = va_arg(arguments, const char*)) {
        texts[count++] = text;
    }
    va_end(arguments);
    return AppendListRow(GetDlgItem(dialog, id), data, texts, count);
}

int AppendListRow(HWND list, LPARAM data, const char* const* texts, int count) {
    if (texts == nullptr || count < 1 || texts[0] == nullptr) return -1;
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    item.iItem = rows > 0 ? static_cast<int>(rows) : 0;
    item.pszText = const_cast<char*>(texts[0]);
    item.lParam = data;
    int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    // The control may have put the row elsewhere than asked (a sorted list): fill the row it
    // reports.
    for (int column = 1; row >= 0 && column < count && texts[column] != nullptr; ++column) {
        LVITEMA cell = {};
        cell.mask = LVIF_TEXT;
        cell.iItem = row;
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(texts[column]);
        SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
    }
    return row;
}

bool GetListCell(HWND dialog, int id, int row, int column, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    return ReadListCell(GetDlgItem(dialog, id), row, column, buffer, size);
}

bool ReadListCell(HWND list, int row, int column, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    buffer[0] = '\0';
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    if (SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
        buffer[0] = '\0';
        return false;
    }
    // The control may answer by pointing at its own copy of the text instead of filling the
    // buffer; a callback marker means it has no text to give.
    if (item.pszText != buffer) CopyText(buffer, size, item.pszText == LPSTR_TEXTCALLBACKA ? nullptr : item.pszText);
    buffer[size - 1] = '\0';
    return true;
}

int SetListCell(HWND dialog, int id, int row, int column, const char* text) {
    if (text == nullptr) return 0;
    char current[512];
    // A cell read back cut short may only look equal, so only a text that fits the buffer is
    // trusted to be unchanged.
    if (strlen(text) < sizeof current - 1 && GetListCell(dialog, id, row, column, current, sizeof current) &&
        strcmp(current, text) == 0) {
        return 1;
    }
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendPointer(dialog, id, LVM_SETITEMA, 0, &item));
}

bool SetListRowData(HWND dialog, int id, int row, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    return SendPointer(dialog, id, LVM_SETITEMA, 0, &item) != 0;
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

int AddEmptyListRow(HWND dialog, int id, bool select) {
    int count = RowCount(dialog, id);
    int row = -1;
    for (int candidate = 0; candidate < count && row < 0; ++candidate) {
        if (IsRowEmpty(dialog, id, candidate)) row = candidate;
    }
    if (row < 0) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = count;
        item.pszText = const_cast<char*>("");
        row = static_cast<int>(SendPointer(dialog, id, LVM_INSERTITEMA, 0, &item));
    }
    if (select && row >= 0) SelectListRow(dialog, id, row);
    return row;
}

int DeleteSelectedRows(HWND dialog, int id) {
    int deleted = 0;
    // After a deletion the rows behind it move up one place, so the next selected row is found
    // by searching behind the one before the deleted row.
    for (int row = GetNextSelectedRow(dialog, id, -1); row >= 0; row = GetNextSelectedRow(dialog, id, row - 1)) {
        if (Send(dialog, id, LVM_DELETEITEM, static_cast<WPARAM>(row)) == 0) break;
        ++deleted;
    }
    return deleted;
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
