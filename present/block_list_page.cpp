#include "present/block_list_page.h"

#include <commctrl.h>

#include <memory>
#include <new>
#include <vector>

#include "base/call_record.h"
#include "base/data_file_store.h"
#include "base/messages.h"
#include "base/program_path.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "diag/program_log.h"
#include "present/block_list_format.h"
#include "present/block_list_ids.h"
#include "present/block_list_lookup.h"
#include "present/phone_book_page.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"
#include "ui/pair_list_editor.h"
#include "ui/dialog_page.h"

namespace {

constexpr size_t kRowsPerBatch = 4096;

// The entries the page shows are the program's block list (g_blockList): this thread alone
// changes them, holding the list's lock while it does, and reads them without it.

size_t EntryCount() { return g_blockList.entries.size(); }

const char* EntryCell(size_t row, int column) {
    const BlockEntry& entry = g_blockList.entries[row];
    return column == kBlockNumberColumn ? entry.number.c_str() : entry.note.c_str();
}

bool SetEntryCell(size_t row, int column, const char* typed) {
    return column == kBlockNumberColumn ? SetBlockNumber(&g_blockList, row, typed)
                                        : SetBlockNote(&g_blockList, row, typed);
}

size_t AddEmptyEntry() { return AddEmptyBlockEntry(&g_blockList); }

size_t DeleteEntries(std::vector<size_t> rows) { return DeleteBlockEntries(&g_blockList, std::move(rows)); }

constexpr PairRows kEntryRows{
    IDC_BLOCK_LIST,         {IDC_BLOCK_NUMBER_EDIT, IDC_BLOCK_NOTE_EDIT}, {IDC_BLOCK_NUMBER_LABEL, IDC_BLOCK_NOTE_LABEL},
    IDC_BLOCK_ADD,          CMD_BLOCK_LIST_PRIVATE_1,                     CMD_BLOCK_LIST_PRIVATE_2,
    LockBlockListForChange, EntryCount,                                   EntryCell,
    SetEntryCell,           AddEmptyEntry,                                DeleteEntries,
};
PairListEditor s_editor{&kEntryRows, 0, 0, false, false};

// --- Loading: the loader reads the entries into a model of their own; the page's thread only
// moves them in.

void* ReadBatch(const char* text, size_t size, size_t* at, bool* last) {
    std::unique_ptr<BlockListModel> batch(new (std::nothrow) BlockListModel{});
    std::unique_ptr<BlockLine> line(new (std::nothrow) BlockLine);  // 2 KB: not on the loader's stack
    if (batch == nullptr || line == nullptr) return nullptr;
    batch->entries.reserve(kRowsPerBatch);
    BookCursor cursor{text, size, *at};
    *last = false;
    while (batch->entries.size() < kRowsPerBatch && !*last) {
        *last = !NextBlockLine(&cursor, line.get());
        if (*last) break;
        if (line->number[0] != '\0') {
            batch->entries.push_back({line->number, line->note});
        } else {
            LogPrintf("Wrong block list entry: \"%s\"", line->line.text);
        }
    }
    *at = cursor.at;
    return batch.release();
}

void TakeBatch(HWND page, void* batch) {
    std::unique_ptr<BlockListModel> more(static_cast<BlockListModel*>(batch));
    {
        auto hold = LockBlockListForChange();
        for (BlockEntry& entry : more->entries) g_blockList.entries.push_back(std::move(entry));
    }
    ShowPairRowCount(s_editor, page);
}

void FreeBatch(void* batch) { delete static_cast<BlockListModel*>(batch); }

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
    if (OnPairListCommand(&s_editor, page, id, code)) return;
    switch (id) {
    case IDC_BLOCK_WITHHELD:
    case IDC_BLOCK_OUT_OF_AREA:
        if (code == BN_CLICKED) OnCheckBox(page, id);
        break;
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
    AddListColumn(page, IDC_BLOCK_LIST, kBlockNumberColumn, 30, IDS_COLUMN_BLOCKED_NUMBER);
    AddListColumn(page, IDC_BLOCK_LIST, kBlockNoteColumn, 70, IDS_COLUMN_BLOCK_NOTE);
    ShowCheckBoxes(page);
    StartPairListEditor(&s_editor, page);
    StorePathBesidePhoneBook();
    OpenDataFileStore(&s_store, page);
}

void OnDestroy(HWND page) {
    CloseDataFileStore(&s_store, page);
    auto hold = LockBlockListForChange();
    g_blockList = BlockListModel{};
}

INT_PTR CALLBACK BlockListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        OnPairListNotify(&s_editor, page, reinterpret_cast<NMHDR*>(lParam), &result);
        return AnswerMessage(page, result);
    }
    case MSG_DATA_FILE_ROWS: TakeDataFileBatch(&s_store, page, lParam); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreateBlockListPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_BLOCK_LIST_PAGE, BlockListPageProc);
}

// The store knows its page from the page's creation to its end.
bool CanBlockNumber(const char* number) { return s_store.page != nullptr && CanBlockCallNumber(g_blockList, number); }

bool BlockNumber(const char* number, const char* note) {
    HWND page = s_store.page;
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
    ShowPairRowCount(s_editor, page);
    MarkDataFileChanged(page);
    return true;
}
