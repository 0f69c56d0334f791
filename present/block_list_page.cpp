#include "present/block_list_page.h"

#include <commctrl.h>

#include <new>
#include <vector>

#include "base/call_record.h"
#include "base/data_file_store.h"
#include "base/messages.h"
#include "base/program_path.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/block_list_format.h"
#include "present/block_list_ids.h"
#include "present/block_list_lookup.h"
#include "present/phone_book_page.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"

namespace {

constexpr size_t kEditTextSize = 256;
constexpr size_t kRowsPerBatch = 4096;

// The rows the editors show: the first selected row and how many are selected.
struct Selection {
    int first;
    int count;
};
constexpr Selection kNoSelectionYet{-2, -1};  // differs from every real selection

// The user-interface thread alone touches these.
struct BlockPageState {
    HWND page;
    Selection shown;
    bool checkPending;    // a selection check is posted and not yet carried out
    bool fillingEditors;  // the editors' change notifications come from the page itself
};
BlockPageState s_block;

// The entries the page shows are the program's block list (g_blockList): this thread alone
// changes them, holding the list's lock while it does, and reads them without it.

HWND List(HWND page) { return GetDlgItem(page, IDC_BLOCK_LIST); }

int RowCount() { return static_cast<int>(g_blockList.entries.size()); }

void ShowRowCount(HWND page);

// --- Loading: the loader reads the entries into a model of their own; the page's thread only
// moves them in.

void* ReadBatch(const char* text, size_t size, size_t* at, bool* last) {
    auto* batch = new (std::nothrow) BlockListModel{};
    if (batch == nullptr) return nullptr;
    batch->entries.reserve(kRowsPerBatch);
    BookCursor cursor{text, size, *at};
    auto* line = new (std::nothrow) BlockLine;  // 2 KB: not on the loader's stack
    if (line == nullptr) {
        delete batch;
        return nullptr;
    }
    *last = false;
    while (batch->entries.size() < kRowsPerBatch && !*last) {
        *last = !NextBlockLine(&cursor, line);
        if (*last) break;
        if (line->number[0] != '\0') {
            batch->entries.push_back({line->number, line->note});
        } else {
            LogPrintf("Wrong block list entry: \"%s\"", line->line.text);
        }
    }
    delete line;
    *at = cursor.at;
    return batch;
}

void TakeBatch(HWND page, void* batch) {
    auto* more = static_cast<BlockListModel*>(batch);
    {
        auto hold = LockBlockListForChange();
        for (BlockEntry& entry : more->entries) g_blockList.entries.push_back(std::move(entry));
    }
    delete more;
    ShowRowCount(page);
}

void FreeBatch(void* batch) { delete static_cast<BlockListModel*>(batch); }

size_t EntryCount() { return g_blockList.entries.size(); }

size_t EntryLine(size_t row, char* out, size_t lineSize) { return BlockListFileLine(g_blockList, row, out, lineSize); }

constexpr DataFileKind kBlockListFile{
    "block list", &kSettingBlockListPath, "block", 1500,       ReadBatch,
    TakeBatch,    FreeBatch,              EntryCount, EntryLine, kBlockLineSize,
};
DataFileStore s_store{&kBlockListFile};

// The file lives beside the phone book, wherever the user keeps that: its path is made from the
// phone book's the first time and stored, as the phone book's own path is.
void StorePathBesidePhoneBook() {
    char path[MAX_PATH];
    if (ReadSetting(kSettingBlockListPath.name, path, sizeof path) == REG_SZ && path[0] != '\0') return;
    char book[MAX_PATH];
    GetPhoneBookPath(book);
    // Without one the store falls back to the program's path, where the phone book's default is.
    if (book[0] == '\0' || !ReplaceExtension(book, "block", path, sizeof path)) return;
    WriteSetting(kSettingBlockListPath.name, path, static_cast<DWORD>(lstrlenA(path) + 1), REG_SZ);
}

// --- The page, on the user-interface thread.

// The list follows the model's row count; the rows it shows keep their place.
void ShowRowCount(HWND page) {
    SendMessageA(List(page), LVM_SETITEMCOUNT, g_blockList.entries.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

// The list asks for the texts of the cells it draws.
void OnGetDisplayInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const char* text = "";
    if (item.iItem >= 0 && item.iItem < RowCount()) {
        const BlockEntry& entry = g_blockList.entries[static_cast<size_t>(item.iItem)];
        if (item.iSubItem == kBlockNumberColumn) text = entry.number.c_str();
        if (item.iSubItem == kBlockNoteColumn) text = entry.note.c_str();
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

void RequestSelectionCheck(HWND page) {
    // Coalesced: a load of many rows must not fill the queue with checks.
    if (s_block.checkPending) return;
    s_block.checkPending = PostMessageA(page, WM_COMMAND, CMD_BLOCK_LIST_PRIVATE_1, 0) != FALSE;
}

void ShowEntryInEditors(HWND page, Selection selection) {
    bool one = selection.count == 1 && selection.first >= 0 && selection.first < RowCount();
    static constexpr int kEditors[] = {IDC_BLOCK_NUMBER_LABEL, IDC_BLOCK_NUMBER_EDIT, IDC_BLOCK_NOTE_LABEL,
                                       IDC_BLOCK_NOTE_EDIT};
    for (int id : kEditors) EnableWindow(GetDlgItem(page, id), one);
    EnableWindow(GetDlgItem(page, IDC_BLOCK_ADD), selection.count < 2);
    char number[kEditTextSize] = "";
    char note[kEditTextSize] = "";
    if (one) {
        const BlockEntry& entry = g_blockList.entries[static_cast<size_t>(selection.first)];
        CopyText(number, sizeof number, entry.number.c_str());
        CopyText(note, sizeof note, entry.note.c_str());
    }
    s_block.fillingEditors = true;
    SetDlgItemTextA(page, IDC_BLOCK_NUMBER_EDIT, number);
    SetDlgItemTextA(page, IDC_BLOCK_NOTE_EDIT, note);
    s_block.fillingEditors = false;
}

void CheckSelection(HWND page) {
    s_block.checkPending = false;
    Selection now{GetNextSelectedRow(page, IDC_BLOCK_LIST, -1),
                  static_cast<int>(SendMessageA(List(page), LVM_GETSELECTEDCOUNT, 0, 0))};
    // Refilling the editors while the user types in one would move the caret under their hands.
    if (now.first == s_block.shown.first && now.count == s_block.shown.count) return;
    s_block.shown = now;
    ShowEntryInEditors(page, now);
}

// The row the editors write to; -1 when they show no single row.
int EditedRow(HWND page, int editId) {
    if (s_block.fillingEditors || GetFocus() != GetDlgItem(page, editId)) return -1;
    if (s_block.shown.count != 1 || s_block.shown.first < 0 || s_block.shown.first >= RowCount()) return -1;
    return s_block.shown.first;
}

using CellEdit = bool (*)(BlockListModel* model, size_t row, const char* typed);

// What the user types goes into the model at once; the list redraws the row if it changed.
void OnEdited(HWND page, int editId, CellEdit edit) {
    int row = EditedRow(page, editId);
    if (row < 0) return;
    char typed[kEditTextSize];
    GetDlgItemTextA(page, editId, typed, sizeof typed);
    bool changed = false;
    {
        auto hold = LockBlockListForChange();
        changed = edit(&g_blockList, static_cast<size_t>(row), typed);
    }
    if (changed) {
        SendMessageA(List(page), LVM_REDRAWITEMS, row, row);
        MarkDataFileChanged(page);
    }
}

void AddEntry(HWND page) {
    size_t row = 0;
    {
        auto hold = LockBlockListForChange();
        row = AddEmptyBlockEntry(&g_blockList);
    }
    ShowRowCount(page);
    SelectListRow(page, IDC_BLOCK_LIST, static_cast<int>(row));
    RequestSelectionCheck(page);
    PostMessageA(page, WM_COMMAND, CMD_BLOCK_LIST_PRIVATE_2, 0);
}

void DeleteSelected(HWND page) {
    HWND list = List(page);
    std::vector<size_t> selected = SelectedListRows(list);
    size_t deleted = 0;
    {
        auto hold = LockBlockListForChange();
        deleted = DeleteBlockEntries(&g_blockList, selected);
    }
    if (deleted == 0) return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkDataFileChanged(page);
}

void OnListKey(HWND page, WORD key) {
    if (key == VK_INSERT) PostMessageA(page, WM_COMMAND, IDC_BLOCK_ADD, 0);
    if (key != VK_DELETE) return;
    DeleteSelected(page);
    RequestSelectionCheck(page);
}

// Type-to-find by number.
LRESULT OnFindItem(const NMHDR* header) {
    return AnswerFindItem(header, [](size_t row) {
        return row < g_blockList.entries.size() ? g_blockList.entries[row].number.c_str() : "";
    });
}

LRESULT OnNotify(HWND page, NMHDR* header) {
    if (header->idFrom != IDC_BLOCK_LIST) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header)); break;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: return OnFindItem(header);
    case LVN_KEYDOWN: OnListKey(page, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey); break;
    // A range of rows (shift and click) changes with one LVN_ODSTATECHANGED instead.
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: RequestSelectionCheck(page); break;
    default: break;
    }
    return 0;
}

// The check boxes act at once and are stored at once: a call may come before the window closes.
void ShowCheckBoxes(HWND page) {
    CheckDlgButton(page, IDC_BLOCK_WITHHELD, g_blockList.withheld ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_BLOCK_OUT_OF_AREA, g_blockList.outOfArea ? BST_CHECKED : BST_UNCHECKED);
}

void OnCheckBox(HWND page, int id) {
    bool checked = IsDlgButtonChecked(page, id) == BST_CHECKED;
    {
        auto hold = LockBlockListForChange();
        (id == IDC_BLOCK_WITHHELD ? g_blockList.withheld : g_blockList.outOfArea) = checked;
    }
    WriteSettingDword(id == IDC_BLOCK_WITHHELD ? kSettingBlockWithheld : kSettingBlockOutOfArea, checked ? 1 : 0);
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_BLOCK_ADD:
        if (code == BN_CLICKED) AddEntry(page);
        break;
    case IDC_BLOCK_NUMBER_EDIT:
        if (code == EN_CHANGE) OnEdited(page, IDC_BLOCK_NUMBER_EDIT, SetBlockNumber);
        break;
    case IDC_BLOCK_NOTE_EDIT:
        if (code == EN_CHANGE) OnEdited(page, IDC_BLOCK_NOTE_EDIT, SetBlockNote);
        break;
    case IDC_BLOCK_WITHHELD:
    case IDC_BLOCK_OUT_OF_AREA:
        if (code == BN_CLICKED) OnCheckBox(page, id);
        break;
    case CMD_BLOCK_LIST_PRIVATE_1: CheckSelection(page); break;
    case CMD_BLOCK_LIST_PRIVATE_2: SetFocus(GetDlgItem(page, IDC_BLOCK_NUMBER_EDIT)); break;
    case CMD_PAGE_SAVE: SaveDataFileIfChanged(&s_store, page); break;
    default: break;
    }
}

void OnInitDialog(HWND page) {
    {
        auto hold = LockBlockListForChange();
        g_blockList = BlockListModel{};
        g_blockList.withheld = ReadSettingDword(kSettingBlockWithheld) != 0;
        g_blockList.outOfArea = ReadSettingDword(kSettingBlockOutOfArea) != 0;
    }
    s_block.page = page;
    s_block.shown = kNoSelectionYet;
    s_block.checkPending = false;
    s_block.fillingEditors = false;
    SendMessageA(List(page), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_BLOCK_LIST, kBlockNumberColumn, 30, IDS_COLUMN_BLOCKED_NUMBER);
    AddListColumn(page, IDC_BLOCK_LIST, kBlockNoteColumn, 70, IDS_COLUMN_BLOCK_NOTE);
    ShowCheckBoxes(page);
    RequestSelectionCheck(page);
    StorePathBesidePhoneBook();
    OpenDataFileStore(&s_store, page);
}

void OnDestroy(HWND page) {
    CloseDataFileStore(&s_store, page);
    s_block.page = nullptr;
    auto hold = LockBlockListForChange();
    g_blockList = BlockListModel{};
}

// The result of a message that has one; a dialog procedure hands it over this way.
INT_PTR Answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK BlockListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: return Answer(page, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
    case MSG_DATA_FILE_ROWS: TakeDataFileBatch(&s_store, page, lParam); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateBlockListPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_BLOCK_LIST_PAGE), mainWindow, BlockListPageProc,
                              0);
}

void GetBlockListPath(char* buffer) { GetDataFileStorePath(s_store, buffer); }

bool CanBlockNumber(const char* number) { return s_block.page != nullptr && CanBlockCallNumber(g_blockList, number); }

bool BlockNumber(const char* number, const char* note) {
    HWND page = s_block.page;
    if (page == nullptr || !CanBlockNumber(number)) return false;
    {
        auto hold = LockBlockListForChange();
        BlockCallNumber(&g_blockList, number, note);
    }
    if (IsNumberWithheld(number)) {  // its check box took it
        ShowCheckBoxes(page);
        WriteSettingDword(number[0] == 'P' ? kSettingBlockWithheld : kSettingBlockOutOfArea, 1);
        return true;
    }
    ShowRowCount(page);
    MarkDataFileChanged(page);
    return true;
}
