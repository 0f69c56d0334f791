#include "ui/pair_list_editor.h"

#include "base/data_file_store.h"
#include "base/text_utils.h"
#include "ui/list_view.h"

namespace {

constexpr size_t kEditTextSize = 256;
constexpr int kNoSelectionYet = -2;  // differs from every real selection

HWND List(const PairListEditor& editor, HWND page) { return GetDlgItem(page, editor.rows->listId); }

int RowCount(const PairListEditor& editor) { return static_cast<int>(editor.rows->count()); }

// The list asks for the texts of the cells it draws.
void OnGetDisplayInfo(const PairListEditor& editor, NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const char* text = "";
    if (item.iItem >= 0 && item.iItem < RowCount(editor) && (item.iSubItem == 0 || item.iSubItem == 1)) {
        text = editor.rows->cell(static_cast<size_t>(item.iItem), item.iSubItem);
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

void ShowRowInFields(PairListEditor* editor, HWND page) {
    const PairRows& rows = *editor->rows;
    bool one = editor->shownCount == 1 && editor->shownFirst >= 0 && editor->shownFirst < RowCount(*editor);
    for (int column = 0; column < 2; ++column) {
        EnableWindow(GetDlgItem(page, rows.labelIds[column]), one);
        EnableWindow(GetDlgItem(page, rows.editIds[column]), one);
    }
    EnableWindow(GetDlgItem(page, rows.addId), editor->shownCount < 2);
    editor->fillingEditors = true;
    for (int column = 0; column < 2; ++column) {
        char text[kEditTextSize] = "";
        if (one) CopyText(text, sizeof text, rows.cell(static_cast<size_t>(editor->shownFirst), column));
        SetDlgItemTextA(page, rows.editIds[column], text);
    }
    editor->fillingEditors = false;
}

void CheckSelection(PairListEditor* editor, HWND page) {
    editor->checkPending = false;
    int first = GetNextSelectedRow(page, editor->rows->listId, -1);
    int count = static_cast<int>(SendMessageA(List(*editor, page), LVM_GETSELECTEDCOUNT, 0, 0));
    // Refilling the fields while the user types in one would move the caret under their hands.
    if (first == editor->shownFirst && count == editor->shownCount) return;
    editor->shownFirst = first;
    editor->shownCount = count;
    ShowRowInFields(editor, page);
}

// What the user types goes into the row at once; the list redraws the row if it changed.
void OnEdited(PairListEditor* editor, HWND page, int column) {
    int editId = editor->rows->editIds[column];
    if (editor->fillingEditors || GetFocus() != GetDlgItem(page, editId)) return;
    int row = editor->shownFirst;
    if (editor->shownCount != 1 || row < 0 || row >= RowCount(*editor)) return;
    char typed[kEditTextSize];
    GetDlgItemTextA(page, editId, typed, sizeof typed);
    bool changed = false;
    {
        auto hold = editor->rows->lock();
        changed = editor->rows->set(static_cast<size_t>(row), column, typed);
    }
    if (!changed) return;
    SendMessageA(List(*editor, page), LVM_REDRAWITEMS, row, row);
    MarkDataFileChanged(page);
}

void DeleteSelected(PairListEditor* editor, HWND page) {
    std::vector<size_t> selected = SelectedListRows(List(*editor, page));
    size_t deleted = 0;
    {
        auto hold = editor->rows->lock();
        deleted = editor->rows->remove(selected);
    }
    if (deleted > 0) ShowPairRowsChanged(editor, page);
}

void OnListKey(PairListEditor* editor, HWND page, WORD key) {
    if (key == VK_INSERT) PostMessageA(page, WM_COMMAND, editor->rows->addId, 0);
    if (key == VK_DELETE) DeleteSelected(editor, page);
}

}  // namespace

void StartPairListEditor(PairListEditor* editor, HWND page) {
    editor->shownFirst = kNoSelectionYet;
    editor->shownCount = -1;
    editor->checkPending = false;
    editor->fillingEditors = false;
    SendMessageA(List(*editor, page), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RequestPairSelectionCheck(editor, page);
}

void ShowPairRowCount(const PairListEditor& editor, HWND page) {
    SendMessageA(List(editor, page), LVM_SETITEMCOUNT, editor.rows->count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void RequestPairSelectionCheck(PairListEditor* editor, HWND page) {
    // Coalesced: a load of many rows must not fill the queue with checks.
    if (editor->checkPending) return;
    editor->checkPending = PostMessageA(page, WM_COMMAND, editor->rows->checkCommand, 0) != FALSE;
}

void AddPairRow(PairListEditor* editor, HWND page) {
    size_t row = 0;
    {
        auto hold = editor->rows->lock();
        row = editor->rows->addEmpty();
    }
    ShowPairRowCount(*editor, page);
    SelectListRow(page, editor->rows->listId, static_cast<int>(row));
    RequestPairSelectionCheck(editor, page);
    PostMessageA(page, WM_COMMAND, editor->rows->focusCommand, 0);
}

void ShowPairRowsChanged(PairListEditor* editor, HWND page) {
    HWND list = List(*editor, page);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowPairRowCount(*editor, page);
    InvalidateRect(list, nullptr, TRUE);
    MarkDataFileChanged(page);
    RequestPairSelectionCheck(editor, page);
}

bool OnPairListCommand(PairListEditor* editor, HWND page, int id, int code) {
    const PairRows& rows = *editor->rows;
    if (id == rows.addId && code == BN_CLICKED) {
        AddPairRow(editor, page);
    } else if (id == rows.editIds[0] || id == rows.editIds[1]) {
        if (code == EN_CHANGE) OnEdited(editor, page, id == rows.editIds[0] ? 0 : 1);
    } else if (id == rows.checkCommand) {
        CheckSelection(editor, page);
    } else if (id == rows.focusCommand) {
        SetFocus(GetDlgItem(page, rows.editIds[0]));
    } else {
        return false;
    }
    return true;
}

bool OnPairListNotify(PairListEditor* editor, HWND page, NMHDR* header, LRESULT* result) {
    *result = 0;
    if (static_cast<int>(header->idFrom) != editor->rows->listId) return false;
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(*editor, reinterpret_cast<NMLVDISPINFOA*>(header)); return true;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:  // type-to-find by the first column
        *result = AnswerFindItem(header, [editor](size_t row) {
            return row < editor->rows->count() ? editor->rows->cell(row, 0) : "";
        });
        return true;
    case LVN_KEYDOWN: OnListKey(editor, page, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey); return true;
    // A range of rows (shift and click) changes with one LVN_ODSTATECHANGED instead.
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: RequestPairSelectionCheck(editor, page); return true;
    default: return false;
    }
}
