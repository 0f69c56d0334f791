#include "present/phone_book_page.h"

#include <commctrl.h>

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "base/data_file_store.h"
#include "base/messages.h"
#include "base/text_utils.h"
#include "diag/program_log.h"
#include "present/contact_transfer.h"
#include "present/phone_book_format.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "res/resource_ids.h"
#include "ui/list_view.h"
#include "ui/pair_list_editor.h"
#include "ui/dialog_page.h"

namespace {

constexpr size_t kRowsPerBatch = 4096;

// The contacts the page shows are the program's phone book (g_phoneBook): this thread alone
// changes them, holding the book's lock while it does, and reads them without it.

HWND List(HWND page) { return GetDlgItem(page, IDC_PHONE_BOOK_LIST); }

size_t ContactCount() { return g_phoneBook.contacts.size(); }

const char* ContactCell(size_t row, int column) {
    const PhoneBookContact& contact = g_phoneBook.contacts[row];
    return column == kPhoneBookNameColumn ? contact.name.c_str() : contact.numbers.c_str();
}

bool SetContactCell(size_t row, int column, const char* typed) {
    return column == kPhoneBookNameColumn ? SetPhoneBookName(&g_phoneBook, row, typed)
                                          : SetPhoneBookNumbers(&g_phoneBook, row, typed);
}

size_t AddEmptyContact() { return AddEmptyPhoneBookContact(&g_phoneBook); }

size_t DeleteContacts(std::vector<size_t> rows) { return DeletePhoneBookContacts(&g_phoneBook, std::move(rows)); }

constexpr PairRows kContactRows{
    IDC_PHONE_BOOK_LIST,      {IDC_NAME_EDIT, IDC_NUMBERS_EDIT}, {IDC_NAME_LABEL, IDC_NUMBERS_LABEL},
    IDC_ADD_CONTACT,          CMD_PHONE_BOOK_PRIVATE_1,          CMD_PHONE_BOOK_PRIVATE_2,
    LockPhoneBookForChange,   ContactCount,                      ContactCell,
    SetContactCell,           AddEmptyContact,                   DeleteContacts,
};
PairListEditor s_editor{&kContactRows, 0, 0, false, false};

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
    std::unique_ptr<PhoneBookModel> book(static_cast<PhoneBookModel*>(batch));
    {
        auto hold = LockPhoneBookForChange();
        for (PhoneBookContact& contact : book->contacts) g_phoneBook.contacts.push_back(std::move(contact));
    }
    ShowPairRowCount(s_editor, page);
}

void FreeBatch(void* batch) { delete static_cast<PhoneBookModel*>(batch); }

size_t ContactLine(size_t row, char* out, size_t lineSize) { return PhoneBookFileLine(g_phoneBook, row, out, lineSize); }

constexpr DataFileKind kPhoneBookFile{
    "phone book", &kSettingPhoneBookPath, "pbook", 1500, ReadBatch,    TakeBatch,
    FreeBatch,    ContactCount,           ContactLine, kSavedLineSize,
};
DataFileStore s_store{&kPhoneBookFile};

// --- The page, on the user-interface thread.

void SortByColumn(HWND page, int column) {
    if (ContactCount() < 2 || column < 0) return;
    ReorderListRows(List(page), [column] {
        auto hold = LockPhoneBookForChange();
        return SortPhoneBook(&g_phoneBook, column);
    });
    InvalidateRect(List(page), nullptr, TRUE);
    MarkDataFileChanged(page);  // the order decides which contact a shared number names
}

LRESULT OnNotify(HWND page, NMHDR* header) {
    LRESULT result = 0;
    if (header->idFrom == IDC_PHONE_BOOK_LIST && header->code == LVN_COLUMNCLICK) {
        SortByColumn(page, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
        RequestPairSelectionCheck(&s_editor, page);
    } else {
        OnPairListNotify(&s_editor, page, header, &result);
    }
    return result;
}

void OnCommand(HWND page, int id, int code) {
    if (OnPairListCommand(&s_editor, page, id, code) || id != CMD_PAGE_SAVE) return;
    // The book is written at every close of the window, changed or not.
    MarkDataFileChanged(page);
    SaveDataFileIfChanged(&s_store, page);
}

void OnInitDialog(HWND page) {
    {
        auto hold = LockPhoneBookForChange();
        g_phoneBook = PhoneBookModel{};
    }
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNameColumn, 30, IDS_COLUMN_CONTACT_NAME);
    AddListColumn(page, IDC_PHONE_BOOK_LIST, kPhoneBookNumbersColumn, 70, IDS_COLUMN_PHONE_NUMBERS);
    StartPairListEditor(&s_editor, page);
    OpenDataFileStore(&s_store, page);
    AttachContactTransfer(page);
}

void OnDestroy(HWND page) {
    DetachContactTransfer(page);
    CloseDataFileStore(&s_store, page);
    auto hold = LockPhoneBookForChange();
    g_phoneBook = PhoneBookModel{};
}

INT_PTR CALLBACK PhoneBookPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_COMMAND:
        if (!OnContactTransferCommand(page, wParam, lParam)) OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: return AnswerMessage(page, OnNotify(page, reinterpret_cast<NMHDR*>(lParam)));
    case MSG_DATA_FILE_ROWS: TakeDataFileBatch(&s_store, page, lParam); return TRUE;
    case MSG_CONTACTS_READ: OnContactsRead(page); return TRUE;
    case WM_HELP: return PassHelpToMainWindow(page, wParam, lParam);
    case WM_DESTROY: OnDestroy(page); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

HWND CreatePhoneBookPage(HWND mainWindow) {
    return CreatePage(mainWindow, IDD_PHONE_BOOK_PAGE, PhoneBookPageProc);
}

void GetPhoneBookPath(char* buffer) { GetDataFileStorePath(s_store, buffer); }

bool PhoneBookLoaded() { return s_store.page != nullptr && s_store.loadWhole; }

void ShowPhoneBookChange(HWND page) { ShowPairRowsChanged(&s_editor, page); }
