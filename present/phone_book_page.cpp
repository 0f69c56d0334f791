#include "present/phone_book_page.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "base/data_files.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/read_whole_file.h"
#include "base/text_utils.h"
#include "base/page_loader.h"
#include "base/thread_wait.h"
#include "base/win_clock.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/contact_transfer.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"

namespace {

constexpr char kChangedProperty[] = "ch";
constexpr DWORD kLoaderDelayMs = 1500;
constexpr DWORD kLoaderWaitMs = 60000;
constexpr size_t kEditTextSize = 256;

// The loader hands the page its rows a batch at a time: one cross-thread message per row would
// make a book of ten thousand contacts take seconds to load.
constexpr UINT MSG_PHONE_BOOK_ADD_ROWS = WM_APP + 2;  // lParam: RowBatch
// An answer no other window gives by chance, should the page be gone and its handle reused.
constexpr LRESULT kRowsTaken = 0x50424B2;

constexpr int kRowsPerBatch = 128;

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

// The contacts the page shows are the program's phone book (g_phoneBook): this thread alone
// changes them, holding the book's lock while it does, and reads them without it.

HWND List(HWND page) { return GetDlgItem(page, IDC_PHONE_BOOK_LIST); }

int RowCount() { return static_cast<int>(g_phoneBook.contacts.size()); }

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

// The list follows the model's row count; the rows it shows keep their place.
void ShowRowCount(HWND page) {
    SendMessageA(List(page), LVM_SETITEMCOUNT, g_phoneBook.contacts.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

LRESULT OnLoadedRows(HWND page, const RowBatch* batch) {
    {
        auto hold = LockPhoneBookForChange();
        for (int i = 0; i < batch->count; ++i) {
            const BookLine& line = batch->lines[i];
            AddPhoneBookContact(&g_phoneBook, line.text + line.nameAt, line.text);
        }
    }
    ShowRowCount(page);
    return kRowsTaken;
}

// The list asks for the texts of the cells it draws.
void OnGetDisplayInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    const char* text = "";
    if (item.iItem >= 0 && item.iItem < RowCount()) {
        const PhoneBookContact& contact = g_phoneBook.contacts[static_cast<size_t>(item.iItem)];
        if (item.iSubItem == kPhoneBookNameColumn) text = contact.name.c_str();
        if (item.iSubItem == kPhoneBookNumbersColumn) text = contact.numbers.c_str();
    }
    CopyText(item.pszText, static_cast<size_t>(item.cchTextMax), text);
}

void RequestSelectionCheck(HWND page) {
    // Coalesced: a load of many rows must not fill the queue with checks.
    if (s_book.checkPending) return;
    s_book.checkPending = PostMessageA(page, WM_COMMAND, CMD_PHONE_BOOK_PRIVATE_1, 0) != FALSE;
}

void ShowContactInEditors(HWND page, Selection selection) {
    bool one = selection.count == 1 && selection.first >= 0 && selection.first < RowCount();
    static constexpr int kEditors[] = {IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_NUMBERS_LABEL, IDC_NUMBERS_EDIT};
    for (int id : kEditors) EnableWindow(GetDlgItem(page, id), one);
    EnableWindow(GetDlgItem(page, IDC_ADD_CONTACT), selection.count < 2);
    char name[kEditTextSize] = "";
    char numbers[kEditTextSize] = "";
    if (one) {
        const PhoneBookContact& contact = g_phoneBook.contacts[static_cast<size_t>(selection.first)];
        CopyText(name, sizeof name, contact.name.c_str());
        CopyText(numbers, sizeof numbers, contact.numbers.c_str());
    }
    s_book.fillingEditors = true;
    SetDlgItemTextA(page, IDC_NAME_EDIT, name);
    SetDlgItemTextA(page, IDC_NUMBERS_EDIT, numbers);
    s_book.fillingEditors = false;
}

void CheckSelection(HWND page) {
    s_book.checkPending = false;
    Selection now{GetNextSelectedRow(page, IDC_PHONE_BOOK_LIST, -1),
                  static_cast<int>(SendMessageA(List(page), LVM_GETSELECTEDCOUNT, 0, 0))};
    // Refilling the editors while the user types in one would move the caret under their hands.
    if (now.first == s_book.shown.first && now.count == s_book.shown.count) return;
    s_book.shown = now;
    ShowContactInEditors(page, now);
}

// The row the editors write to; -1 when they show no single row.
int EditedRow(HWND page, int editId) {
    if (s_book.fillingEditors || GetFocus() != GetDlgItem(page, editId)) return -1;
    if (s_book.shown.count != 1 || s_book.shown.first < 0 || s_book.shown.first >= RowCount()) return -1;
    return s_book.shown.first;
}

using CellEdit = bool (*)(PhoneBookModel* model, size_t row, const char* typed);

// What the user types goes into the model at once; the list redraws the row if it changed.
void OnEdited(HWND page, int editId, CellEdit edit) {
    int row = EditedRow(page, editId);
    if (row < 0) return;
    char typed[kEditTextSize];
    GetDlgItemTextA(page, editId, typed, sizeof typed);
    bool changed = false;
    {
        auto hold = LockPhoneBookForChange();
        changed = edit(&g_phoneBook, static_cast<size_t>(row), typed);
    }
    if (changed) SendMessageA(List(page), LVM_REDRAWITEMS, row, row);
    MarkChanged(page);
}

void SortByColumn(HWND page, int column) {
    if (RowCount() < 2 || column < 0) return;
    // The control keeps selection and focus by row, so they are carried to where their rows went.
    HWND list = List(page);
    std::vector<size_t> selected = SelectedListRows(list);
    int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    std::vector<size_t> moved;
    {
        auto hold = LockPhoneBookForChange();
        moved = SortPhoneBook(&g_phoneBook, column);
    }
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : selected) ListView_SetItemState(list, static_cast<int>(moved[row]), LVIS_SELECTED, LVIS_SELECTED);
    if (focused >= 0) ListView_SetItemState(list, static_cast<int>(moved[focused]), LVIS_FOCUSED, LVIS_FOCUSED);
    InvalidateRect(list, nullptr, TRUE);
    MarkChanged(page);  // the order decides which contact a shared number names
}

void DeleteSelected(HWND page) {
    HWND list = List(page);
    std::vector<size_t> selected = SelectedListRows(list);
    size_t deleted = 0;
    {
        auto hold = LockPhoneBookForChange();
        deleted = DeletePhoneBookContacts(&g_phoneBook, selected);
    }
    if (deleted == 0) return;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkChanged(page);
}

void OnListKey(HWND page, WORD key) {
    if (key == VK_INSERT) PostMessageA(page, WM_COMMAND, IDC_ADD_CONTACT, 0);
    if (key != VK_DELETE) return;
    DeleteSelected(page);
    RequestSelectionCheck(page);
}

// Type-to-find by name.
LRESULT OnFindItem(const NMHDR* header) {
    return AnswerFindItem(header, [](size_t row) {
        return row < g_phoneBook.contacts.size() ? g_phoneBook.contacts[row].name.c_str() : "";
    });
}

LRESULT OnNotify(HWND page, NMHDR* header) {
    if (header->idFrom != IDC_PHONE_BOOK_LIST) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(header)); break;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: return OnFindItem(header);
    case LVN_KEYDOWN: OnListKey(page, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey); break;
    // A range of rows (shift and click) changes with one LVN_ODSTATECHANGED instead.
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED: RequestSelectionCheck(page); break;
    case LVN_COLUMNCLICK:
        SortByColumn(page, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        RequestSelectionCheck(page);
        break;
    default: break;
    }
    return 0;
}

void OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_ADD_CONTACT:
        if (code == BN_CLICKED) AddContact(page);
        break;
    case IDC_NAME_EDIT:
        if (code == EN_CHANGE) OnEdited(page, IDC_NAME_EDIT, SetPhoneBookName);
        break;
    case IDC_NUMBERS_EDIT:
        if (code == EN_CHANGE) OnEdited(page, IDC_NUMBERS_EDIT, SetPhoneBookNumbers);
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
    {
        auto hold = LockPhoneBookForChange();
        g_phoneBook = PhoneBookModel{};
        s_book.page = page;
    }
    s_book.loaded = false;
    s_book.file = DataFileState::Missing;
    s_book.refusalLogged = false;
    s_book.shown = kNoSelectionYet;
    s_book.checkPending = false;
    s_book.fillingEditors = false;
    SendMessageA(List(page), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNameColumn, 30, IDS_COLUMN_CONTACT_NAME);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNumbersColumn, 70, IDS_COLUMN_PHONE_NUMBERS);
    RequestSelectionCheck(page);
    OwnedHandle loader(CreateThread(nullptr, 0, PhoneBookLoader, page, 0, nullptr));
    if (loader) {
        KeepPageLoader(page, std::move(loader));
    } else {
        // Without its loader the list never holds the file, so it never replaces it either.
        char reason[256];
        LogPrintf("Could not load phone book: %s", ErrorText(kLastError, reason, sizeof reason));
    }
    AttachContactTransfer(page);
}

void OnDestroy(HWND page) {
    DetachContactTransfer(page);
    bool loaderEnded = EndPageLoader(page, kLoaderWaitMs);
    // A loader still running holds part of the file in the list: that list must not replace it.
    if (RemovePropA(page, kChangedProperty) != nullptr && loaderEnded) SavePhoneBook(page);
    auto hold = LockPhoneBookForChange();
    s_book.page = nullptr;
    g_phoneBook = PhoneBookModel{};
}

// The result of a message that has one; a dialog procedure hands it over this way.
INT_PTR Answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK PhoneBookPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND:
        if (!OnContactTransferCommand(page, wParam, lParam)) OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: return Answer(page, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
    case MSG_PHONE_BOOK_ADD_ROWS: return Answer(page, OnLoadedRows(page, reinterpret_cast<const RowBatch*>(lParam)));
    case MSG_CONTACTS_READ: OnContactsRead(page); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

// Lines are gathered into blocks of this size and written a block at a time.

size_t ContactLine(size_t row, char* out, size_t lineSize) { return PhoneBookFileLine(g_phoneBook, row, out, lineSize); }

}  // namespace

HWND CreatePhoneBookPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_PHONE_BOOK_PAGE), mainWindow, PhoneBookPageProc,
                              0);
}

void GetPhoneBookPath(char* buffer) { GetDataFilePath(kSettingPhoneBookPath, "pbook", buffer); }

bool SavePhoneBook(HWND page) {
    if (page == nullptr) return false;
    char path[MAX_PATH];
    GetPhoneBookPath(path);
    if (path[0] == '\0') return false;
    DataFileState state = s_book.file;
    char reason[256];
    switch (ChooseDataFileSave(state, s_book.loaded, g_phoneBook.contacts.size())) {
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
    if (!RewriteDataFile(path, "phone book", g_phoneBook.contacts.size(), kSavedLineSize, ContactLine)) return false;
    s_book.file = DataFileState::Loaded;  // the file now holds the list
    RemovePropA(page, kChangedProperty);
    return true;
}

bool PhoneBookLoaded() { return s_book.page != nullptr && s_book.loaded; }

void ShowPhoneBookChange(HWND page) {
    HWND list = List(page);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkChanged(page);
    RequestSelectionCheck(page);
}

void AddContact(HWND page) {
    size_t row = 0;
    {
        auto hold = LockPhoneBookForChange();
        row = AddEmptyPhoneBookContact(&g_phoneBook);
    }
    ShowRowCount(page);
    SelectListRow(page, IDC_PHONE_BOOK_LIST, static_cast<int>(row));
    RequestSelectionCheck(page);
    PostMessageA(page, WM_COMMAND, CMD_PHONE_BOOK_PRIVATE_2, 0);
}
