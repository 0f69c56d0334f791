#include "present/phone_book_page.h"

#include <commctrl.h>

#include <atomic>

#include "app/compare_text.h"
#include "app/data_files.h"
#include "app/error_text.h"
#include "app/messages.h"
#include "app/process_state.h"
#include "app/read_whole_file.h"
#include "app/text_utils.h"
#include "app/page_loader.h"
#include "app/thread_wait.h"
#include "app/win_clock.h"
#include "app/win_state.h"
#include "diag/program_log.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"

namespace {

constexpr char kChangedProperty[] = "ch";
constexpr DWORD kLoaderDelayMs = 1500;
constexpr DWORD kLoaderWaitMs = 60000;
constexpr int kNameColumn = 0;
constexpr int kNumbersColumn = 1;
constexpr size_t kLookupNameSize = 200;  // the most of a name a lookup hands out, with its NUL
constexpr size_t kEditTextSize = 256;
constexpr size_t kSortCellSize = 256;

// Messages of this page alone, sent by other threads. Each carries a whole lookup or a batch of
// loaded rows: one cross-thread message per row would make a book of ten thousand contacts take
// seconds to search and to load.
constexpr UINT MSG_PHONE_BOOK_LOOKUP = WM_APP + 1;    // lParam: LookupRequest
constexpr UINT MSG_PHONE_BOOK_ADD_ROWS = WM_APP + 2;  // lParam: RowBatch
// Answers no other window gives by chance, should the page be gone and its handle reused.
constexpr LRESULT kContactFound = 0x50424B1;
constexpr LRESULT kRowsTaken = 0x50424B2;

constexpr int kRowsPerBatch = 128;

struct LookupRequest {
    const char* number;
    char name[kLookupNameSize];
};

struct RowBatch {
    int count;
    BookLine lines[kRowsPerBatch];
};

// The rows the editors show: the first selected row and how many are selected.
struct Selection {
    int first;
    int count;
};
constexpr Selection kNoSelectionYet{-2, -1};  // differs from every real selection

struct PhoneBookState {
    std::atomic<HWND> page;  // UI thread, at creation and destruction; read by every thread
    // The loader's outcome, written by the loader thread: the list may replace the file only once
    // it holds the whole file (loaded), never when the file was there but could not be read.
    std::atomic<bool> loaded;
    std::atomic<DataFileState> file;
    std::atomic<bool> refusalLogged;  // the refused save is told once, not at every close
    // The user-interface thread alone touches these.
    Selection shown;
    bool checkPending;    // a selection check is posted and not yet carried out
    bool fillingEditors;  // the editors' change notifications come from the page itself
};
PhoneBookState s_book;

int RowCount(HWND page) {
    LRESULT count = SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_GETITEMCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

void MarkChanged(HWND page) { SetPropA(page, kChangedProperty, reinterpret_cast<HANDLE>(7)); }

// --- Loading, on the loader thread.

void FinishLoad(HWND page, DataFileState state) {
    if (s_book.page != page) return;  // a page gone meanwhile; its successor has its own loader
    s_book.file = state;
    s_book.loaded = state != DataFileState::Unreadable;
}

bool HandOver(HWND page, RowBatch* batch) {
    bool taken = SendMessageA(page, MSG_PHONE_BOOK_ADD_ROWS, 0, reinterpret_cast<LPARAM>(batch)) == kRowsTaken;
    batch->count = 0;
    return taken;
}

// True when every line of the text went to the list.
bool LoadRows(HWND page, const char* text, DWORD size) {
    auto* batch = static_cast<RowBatch*>(LocalAlloc(LMEM_FIXED, sizeof(RowBatch)));
    if (batch == nullptr) {
        char reason[256];
        LogPrintf("Could not load phone book: %s", ErrorText(kLastError, reason, sizeof reason));
        return false;
    }
    batch->count = 0;
    BookCursor cursor{text, size, 0};
    bool whole = true;
    for (;;) {
        BookLine* line = &batch->lines[batch->count];
        if (!NextBookLine(&cursor, line)) break;
        if (g_state.stop != 0) {
            whole = false;
            break;
        }
        if (!line->hasColon) {
            LogPrintf("Wrong phone book entry: \"%s\"", line->text);
            continue;
        }
        if (++batch->count == kRowsPerBatch && !HandOver(page, batch)) {
            whole = false;
            break;
        }
    }
    if (whole && batch->count > 0) whole = HandOver(page, batch);
    LocalFree(batch);
    return whole;
}

DWORD WINAPI PhoneBookLoader(void* parameter) {
    HWND page = static_cast<HWND>(parameter);
    // Start-up finishes first; a program that ends meanwhile does not sit out the delay.
    if (!SleepUnlessStopping(kLoaderDelayMs)) return 1;
    char path[MAX_PATH];
    GetPhoneBookPath(path);
    DWORD size = 0;
    char* text = ReadWholeFile(path, &size);
    if (text == nullptr) {
        FinishLoad(page, StateAfterFailedRead(path));
        return 1;
    }
    bool whole = LoadRows(page, text, size);
    LocalFree(text);
    if (whole) FinishLoad(page, DataFileState::Loaded);
    return 1;
}

// --- The page, on the user-interface thread.

// The list lays itself out again after every single change unless told to wait: with redrawing
// held, ten thousand rows go in within a blink instead of seconds.
void HoldListDrawing(HWND page, bool hold) {
    HWND list = GetDlgItem(page, IDC_PHONE_BOOK_LIST);
    SendMessageA(list, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    if (!hold) InvalidateRect(list, nullptr, TRUE);
}

LRESULT OnLoadedRows(HWND page, const RowBatch* batch) {
    HWND list = GetDlgItem(page, IDC_PHONE_BOOK_LIST);
    HoldListDrawing(page, true);
    for (int i = 0; i < batch->count; ++i) {
        const BookLine& line = batch->lines[i];
        const char* const cells[] = {line.text + line.nameAt, line.text};
        AppendListRow(list, 0, cells, 2);
    }
    HoldListDrawing(page, false);
    return kRowsTaken;
}

bool ReadNumbersCell(void* list, int row, char* buffer, size_t size) {
    return ReadListCell(static_cast<HWND>(list), row, kNumbersColumn, buffer, size);
}

LRESULT OnLookup(HWND page, LookupRequest* request) {
    // The list is looked up once: for every row it would cost more than reading the row.
    int row = FindContactRow(request->number, RowCount(page), ReadNumbersCell, GetDlgItem(page, IDC_PHONE_BOOK_LIST));
    if (row < 0) return 0;
    GetListCell(page, IDC_PHONE_BOOK_LIST, row, kNameColumn, request->name, sizeof request->name);
    return kContactFound;
}

void RequestSelectionCheck(HWND page) {
    // Coalesced: a load of many rows must not fill the queue with checks.
    if (s_book.checkPending) return;
    s_book.checkPending = PostMessageA(page, WM_COMMAND, CMD_PHONE_BOOK_PRIVATE_1, 0) != FALSE;
}

void ShowContactInEditors(HWND page, Selection selection) {
    bool one = selection.count == 1 && selection.first >= 0;
    static constexpr int kEditors[] = {IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_NUMBERS_LABEL, IDC_NUMBERS_EDIT};
    for (int id : kEditors) EnableWindow(GetDlgItem(page, id), one);
    EnableWindow(GetDlgItem(page, IDC_ADD_CONTACT), selection.count < 2);
    char name[kEditTextSize] = "";
    char numbers[kEditTextSize] = "";
    if (one) {
        GetListCell(page, IDC_PHONE_BOOK_LIST, selection.first, kNameColumn, name, sizeof name);
        GetListCell(page, IDC_PHONE_BOOK_LIST, selection.first, kNumbersColumn, numbers, sizeof numbers);
    }
    s_book.fillingEditors = true;
    SetDlgItemTextA(page, IDC_NAME_EDIT, name);
    SetDlgItemTextA(page, IDC_NUMBERS_EDIT, numbers);
    s_book.fillingEditors = false;
}

void CheckSelection(HWND page) {
    s_book.checkPending = false;
    Selection now{GetNextSelectedRow(page, IDC_PHONE_BOOK_LIST, -1),
                  static_cast<int>(SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_GETSELECTEDCOUNT, 0, 0))};
    // Refilling the editors while the user types in one would move the caret under their hands.
    if (now.first == s_book.shown.first && now.count == s_book.shown.count) return;
    s_book.shown = now;
    ShowContactInEditors(page, now);
}

// The row the editors write to; -1 when they show no single row.
int EditedRow(HWND page, int editId) {
    if (s_book.fillingEditors || GetFocus() != GetDlgItem(page, editId)) return -1;
    if (s_book.shown.count != 1 || s_book.shown.first >= RowCount(page)) return -1;
    return s_book.shown.first;
}

void OnNameEdited(HWND page) {
    int row = EditedRow(page, IDC_NAME_EDIT);
    if (row < 0) return;
    char name[kEditTextSize];
    GetDlgItemTextA(page, IDC_NAME_EDIT, name, sizeof name);
    CollapseBlanks(name);
    SetListCell(page, IDC_PHONE_BOOK_LIST, row, kNameColumn, name);
    MarkChanged(page);
}

void OnNumbersEdited(HWND page) {
    int row = EditedRow(page, IDC_NUMBERS_EDIT);
    if (row < 0) return;
    char typed[kEditTextSize];
    GetDlgItemTextA(page, IDC_NUMBERS_EDIT, typed, sizeof typed);
    char numbers[kNumbersCellSize];
    NormalizeNumbers(typed, numbers, sizeof numbers);
    SetListCell(page, IDC_PHONE_BOOK_LIST, row, kNumbersColumn, numbers);
    MarkChanged(page);
}

int CALLBACK CompareContactCells(LPARAM first, LPARAM second, LPARAM cells) {
    const auto* texts = reinterpret_cast<const char(*)[kSortCellSize]>(cells);
    const char* a = texts[first];
    const char* b = texts[second];
    return CompareTextNoCase(a, lstrlenA(a), b, lstrlenA(b));
}

void SortByColumn(HWND page, int column) {
    int rows = RowCount(page);
    if (rows < 2 || column < 0) return;
    // The control moves rows while it sorts, so a comparison that read the rows by index would
    // read whatever row stands there at that moment. The cells are read before the sort instead,
    // and each row's item data says which of them is its own.
    size_t bytes = static_cast<size_t>(rows) * kSortCellSize;
    auto* cells = static_cast<char(*)[kSortCellSize]>(LocalAlloc(LMEM_FIXED, bytes));
    if (cells == nullptr) return;
    HoldListDrawing(page, true);
    for (int row = 0; row < rows; ++row) {
        GetListCell(page, IDC_PHONE_BOOK_LIST, row, column, cells[row], kSortCellSize);
        SetListRowData(page, IDC_PHONE_BOOK_LIST, row, row);
    }
    SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_SORTITEMS, reinterpret_cast<WPARAM>(cells),
                        reinterpret_cast<LPARAM>(CompareContactCells));
    HoldListDrawing(page, false);
    LocalFree(cells);
    MarkChanged(page);  // the order decides which contact a shared number names
}

void OnListKey(HWND page, WORD key) {
    if (key == VK_INSERT) PostMessageA(page, WM_COMMAND, IDC_ADD_CONTACT, 0);
    if (key != VK_DELETE) return;
    HoldListDrawing(page, true);
    int deleted = DeleteSelectedRows(page, IDC_PHONE_BOOK_LIST);
    HoldListDrawing(page, false);
    if (deleted > 0) MarkChanged(page);
    RequestSelectionCheck(page);
}

void OnNotify(HWND page, const NMHDR* header) {
    if (header->idFrom != IDC_PHONE_BOOK_LIST) return;
    switch (header->code) {
    case LVN_KEYDOWN: OnListKey(page, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey); break;
    case LVN_ITEMCHANGED: RequestSelectionCheck(page); break;
    case LVN_COLUMNCLICK:
        SortByColumn(page, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        RequestSelectionCheck(page);
        break;
    default: break;
    }
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_ADD_CONTACT:
        if (code == BN_CLICKED) AddContact(page);
        break;
    case IDC_NAME_EDIT:
        if (code == EN_CHANGE) OnNameEdited(page);
        break;
    case IDC_NUMBERS_EDIT:
        if (code == EN_CHANGE) OnNumbersEdited(page);
        break;
    case CMD_PHONE_BOOK_PRIVATE_1: CheckSelection(page); break;
    case CMD_PHONE_BOOK_PRIVATE_2: SetFocus(GetDlgItem(page, IDC_NAME_EDIT)); break;
    case CMD_PAGE_SAVE:
        if (!PageLoaderRunning(page)) SavePhoneBook(page);
        break;
    default: break;
    }
}

void OnInitDialog(HWND page) {
    s_book.page = page;
    s_book.loaded = false;
    s_book.file = DataFileState::Missing;
    s_book.refusalLogged = false;
    s_book.shown = kNoSelectionYet;
    s_book.checkPending = false;
    s_book.fillingEditors = false;
    SendDlgItemMessageA(page, IDC_PHONE_BOOK_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                        LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kNameColumn, 30, IDS_COLUMN_CONTACT_NAME);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kNumbersColumn, 70, IDS_COLUMN_PHONE_NUMBERS);
    RequestSelectionCheck(page);
    HANDLE loader = CreateThread(nullptr, 0, PhoneBookLoader, page, 0, nullptr);
    if (loader != nullptr) {
        KeepPageLoader(page, loader);
    } else {
        // Without its loader the list never holds the file, so it never replaces it either.
        char reason[256];
        LogPrintf("Could not load phone book: %s", ErrorText(kLastError, reason, sizeof reason));
    }
}

void OnDestroy(HWND page) {
    bool loaderEnded = EndPageLoader(page, kLoaderWaitMs);
    // A loader still running holds part of the file in the list: that list must not replace it.
    if (RemovePropA(page, kChangedProperty) != nullptr && loaderEnded) SavePhoneBook(page);
    s_book.page = nullptr;
}

// The result of a message that has one; a dialog procedure hands it over this way.
INT_PTR Answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK PhoneBookPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: OnNotify(page, reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case MSG_PHONE_BOOK_LOOKUP: return Answer(page, OnLookup(page, reinterpret_cast<LookupRequest*>(lParam)));
    case MSG_PHONE_BOOK_ADD_ROWS: return Answer(page, OnLoadedRows(page, reinterpret_cast<const RowBatch*>(lParam)));
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

// Lines are gathered into blocks of this size and written a block at a time.
constexpr size_t kWriteBlockSize = 64 * 1024;

bool WriteAll(HANDLE file, const char* data, size_t length) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
}

bool WriteRows(HWND page, HANDLE file) {
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, kWriteBlockSize));
    if (block == nullptr) return false;
    size_t used = 0;
    bool written = true;
    int rows = RowCount(page);
    HWND list = GetDlgItem(page, IDC_PHONE_BOOK_LIST);
    for (int row = 0; row < rows && written; ++row) {
        char name[256];
        char numbers[512];
        ReadListCell(list, row, kNameColumn, name, sizeof name);
        ReadListCell(list, row, kNumbersColumn, numbers, sizeof numbers);
        if (numbers[0] == '\0') continue;  // a contact never given a number names no caller
        if (used + kSavedLineSize > kWriteBlockSize) {
            written = WriteAll(file, block, used);
            used = 0;
        }
        used += FormatBookLine(numbers, name, block + used, kSavedLineSize);
    }
    if (written && used > 0) written = WriteAll(file, block, used);
    LocalFree(block);
    return written;
}

}  // namespace

HWND CreatePhoneBookPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_PHONE_BOOK_PAGE), mainWindow, PhoneBookPageProc,
                              0);
}

bool LookupPhoneBook(const char* number, char* name, size_t nameSize) {
    HWND page = s_book.page;
    if (page == nullptr || number == nullptr || name == nullptr || nameSize == 0) return false;
    LookupRequest request{number, ""};
    if (SendMessageA(page, MSG_PHONE_BOOK_LOOKUP, 0, reinterpret_cast<LPARAM>(&request)) != kContactFound) {
        return false;
    }
    CopyText(name, nameSize, request.name);
    return true;
}

void GetPhoneBookPath(char* buffer) { GetDataFilePath(kSettingPhoneBookPath, "pbook", buffer); }

bool SavePhoneBook(HWND page) {
    if (page == nullptr) return false;
    char path[MAX_PATH];
    GetPhoneBookPath(path);
    if (path[0] == '\0') return false;
    DataFileState state = s_book.file;
    char reason[256];
    switch (ChooseDataFileSave(state, s_book.loaded, static_cast<size_t>(RowCount(page)))) {
    case DataFileSave::Keep:
        if (state == DataFileState::Unreadable) {
            if (!s_book.refusalLogged.exchange(true)) {
                LogPrintf("Could not save phone book: %s could not be read at start and is left as it is", path);
            }
            return false;
        }
        if (!s_book.loaded) return false;
        // An emptied list and a file the page never knew (one not there at start, a share not
        // yet reachable then): nothing of the page's to write or delete.
        RemovePropA(page, kChangedProperty);
        return true;
    case DataFileSave::Delete:
        if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            LogPrintf("Could not delete phone book: %s", ErrorText(kLastError, reason, sizeof reason));
            return false;
        }
        RemovePropA(page, kChangedProperty);
        return true;
    case DataFileSave::Rewrite: break;
    }
    HANDLE file = BeginRewrite(path);
    if (file == INVALID_HANDLE_VALUE) {
        LogPrintf("Could not save phone book: %s", ErrorText(kLastError, reason, sizeof reason));
        return false;
    }
    if (!WriteRows(page, file)) {
        LogPrintf("Could not save phone book: %s", ErrorText(kLastError, reason, sizeof reason));
        AbandonRewrite(path, file);
        return false;
    }
    if (!CommitRewrite(path, file)) {
        LogPrintf("Could not save phone book: %s", ErrorText(kLastError, reason, sizeof reason));
        return false;
    }
    s_book.file = DataFileState::Loaded;  // the file now holds the list
    RemovePropA(page, kChangedProperty);
    return true;
}

void AddContact(HWND page) {
    AddEmptyListRow(page, IDC_PHONE_BOOK_LIST, true);
    RequestSelectionCheck(page);
    PostMessageA(page, WM_COMMAND, CMD_PHONE_BOOK_PRIVATE_2, 0);
}
