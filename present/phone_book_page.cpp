#include "present/phone_book_page.h"

#include <commctrl.h>

#include <new>
#include <utility>
#include <vector>

#include "base/data_file_store.h"
#include "base/messages.h"
#include "base/text_utils.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/contact_transfer.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
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
struct PhoneBookState {
    Selection shown;
    bool checkPending;    // a selection check is posted and not yet carried out
    bool fillingEditors;  // the editors' change notifications come from the page itself
};
PhoneBookState s_book;

// The contacts the page shows are the program's phone book (g_phoneBook): this thread alone
// changes them, holding the book's lock while it does, and reads them without it.

HWND List(HWND page) { return GetDlgItem(page, IDC_PHONE_BOOK_LIST); }

int RowCount() { return static_cast<int>(g_phoneBook.contacts.size()); }

void ShowRowCount(HWND page);

// --- Loading: the loader reads the contacts into a model of their own; the page's thread only
// moves them in.

void* ReadBatch(const char* text, size_t size, size_t* at, bool* last) {
    auto* batch = new (std::nothrow) PhoneBookModel{};
    if (batch == nullptr) return nullptr;
    batch->contacts.reserve(kRowsPerBatch);
    BookCursor cursor{text, size, *at};
    BookLine line;
    *last = false;
    while (batch->contacts.size() < kRowsPerBatch && !*last) {
        *last = !NextBookLine(&cursor, &line);
        if (*last) break;
        if (line.hasColon) {
            AddPhoneBookContact(batch, line.text + line.nameAt, line.text);
        } else {
            LogPrintf("Wrong phone book entry: \"%s\"", line.text);
        }
    }
    *at = cursor.at;
    return batch;
}

void TakeBatch(HWND page, void* batch) {
    auto* book = static_cast<PhoneBookModel*>(batch);
    {
        auto hold = LockPhoneBookForChange();
        for (PhoneBookContact& contact : book->contacts) g_phoneBook.contacts.push_back(std::move(contact));
    }
    delete book;
    ShowRowCount(page);
}

void FreeBatch(void* batch) { delete static_cast<PhoneBookModel*>(batch); }

size_t ContactCount() { return g_phoneBook.contacts.size(); }

size_t ContactLine(size_t row, char* out, size_t lineSize) { return PhoneBookFileLine(g_phoneBook, row, out, lineSize); }

constexpr DataFileKind kPhoneBookFile{
    "phone book", &kSettingPhoneBookPath, "pbook", 1500, ReadBatch,    TakeBatch,
    FreeBatch,    ContactCount,           ContactLine, kSavedLineSize,
};
DataFileStore s_store{&kPhoneBookFile};

// --- The page, on the user-interface thread.

// The list follows the model's row count; the rows it shows keep their place.
void ShowRowCount(HWND page) {
    SendMessageA(List(page), LVM_SETITEMCOUNT, g_phoneBook.contacts.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
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
    MarkDataFileChanged(page);
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
    MarkDataFileChanged(page);  // the order decides which contact a shared number names
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
    MarkDataFileChanged(page);
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
    case CMD_PAGE_SAVE:  // the book is written at every close of the window, changed or not
        MarkDataFileChanged(page);
        SaveDataFileIfChanged(&s_store, page);
        break;
    default: break;
    }
}

void OnInitDialog(HWND page) {
    {
        auto hold = LockPhoneBookForChange();
        g_phoneBook = PhoneBookModel{};
    }
    s_book.shown = kNoSelectionYet;
    s_book.checkPending = false;
    s_book.fillingEditors = false;
    SendMessageA(List(page), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNameColumn, 30, IDS_COLUMN_CONTACT_NAME);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNumbersColumn, 70, IDS_COLUMN_PHONE_NUMBERS);
    RequestSelectionCheck(page);
    OpenDataFileStore(&s_store, page);
    AttachContactTransfer(page);
}

void OnDestroy(HWND page) {
    DetachContactTransfer(page);
    CloseDataFileStore(&s_store, page);
    auto hold = LockPhoneBookForChange();
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
    case MSG_DATA_FILE_ROWS: TakeDataFileBatch(&s_store, page, lParam); return TRUE;
    case MSG_CONTACTS_READ: OnContactsRead(page); return TRUE;
    // Sent, not posted: the help request carries a pointer, which a posted message cannot.
    case WM_HELP: SendMessageA(GetParent(page), WM_HELP, wParam, lParam); return TRUE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreatePhoneBookPage(HWND mainWindow) {
    return CreateDialogParamA(g_win.instance, MAKEINTRESOURCEA(IDD_PHONE_BOOK_PAGE), mainWindow, PhoneBookPageProc,
                              0);
}

void GetPhoneBookPath(char* buffer) { GetDataFileStorePath(s_store, buffer); }

bool PhoneBookLoaded() { return s_store.page != nullptr && s_store.loadWhole; }

void ShowPhoneBookChange(HWND page) {
    HWND list = List(page);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ShowRowCount(page);
    InvalidateRect(list, nullptr, TRUE);
    MarkDataFileChanged(page);
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
