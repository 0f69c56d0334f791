#include "present/contact_transfer.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/ansi_code_page.h"
#include "base/error_text.h"
#include "base/messages.h"
#include "base/product.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"
#include "present/contact_export.h"
#include "present/contact_file.h"
#include "present/contact_merge.h"
#include "present/contact_transfer_ids.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "present/phone_book_page.h"
#include "ui/file_chooser.h"

namespace {

constexpr DWORD kReaderWaitMs = 60000;
constexpr size_t kMessageSize = 1024;   // wsprintfA writes no more
constexpr size_t kColumnsShown = 600;   // of the columns a refused file has, in its message
// Far above any address book's export (10,000 contacts take about a megabyte); a larger file is
// not read into memory at all.
constexpr LONGLONG kLargestImport = 256LL << 20;

constexpr char kImportFilters[] =
    "Contacts (*.csv; *.vcf)\0*.csv;*.vcf;*.vcard\0CSV files (*.csv)\0*.csv\0vCard files (*.vcf)\0*.vcf;*.vcard\0"
    "All files (*.*)\0*.*\0";
// The chooser's type decides the export's format, in this order.
constexpr char kExportFilters[] = "CSV file (*.csv)\0*.csv\0vCard file (*.vcf)\0*.vcf\0";
constexpr DWORD kExportVCard = 2;

// What the page asks the reading thread for, and what the thread hands back.
struct ContactsRead {
    HWND page;
    char path[MAX_PATH];
    CodePageMap map;
    DWORD error;  // the system's error when the file could not be read; 0 when it was
    ContactFile file;
};

struct TransferState {
    // The user-interface thread alone touches these.
    HWND page = nullptr;
    CodePageMap map{};     // the program's code page, read at the page's creation
    OwnedHandle reader;    // the thread reading a chosen file, until its contacts are in
    ImportUndo undo;       // the last import, while it can be taken back
    // Written by the reader thread as its last step, taken by the user-interface thread: what the
    // reader read. Kept here rather than in its message, so that a page that goes while the
    // message is on its way still frees it.
    std::atomic<ContactsRead*> read{nullptr};
};
TransferState s_transfer;

HWND Owner(HWND page) { return GetAncestor(page, GA_ROOT); }

void Tell(HWND page, const char* text, UINT icon) { MessageBoxA(Owner(page), text, kProductName, MB_OK | icon); }

// "<what><path>: <the system's text for error>" in an error box.
void TellFailure(HWND page, const char* what, const char* path, DWORD error) {
    char reason[256];
    char text[kMessageSize];
    wsprintfA(text, "%s%s: %s", what, path, ErrorText(error, reason, sizeof reason));
    Tell(page, text, MB_ICONERROR);
}

void ShowButtons(HWND page) {
    bool idle = !s_transfer.reader;
    EnableWindow(GetDlgItem(page, IDC_IMPORT_CONTACTS), idle);
    EnableWindow(GetDlgItem(page, IDC_EXPORT_CONTACTS), idle);
    EnableWindow(GetDlgItem(page, IDC_UNDO_IMPORT), !s_transfer.undo.added.empty());
}

void ForgetImport(HWND page) {
    if (s_transfer.undo.added.empty()) return;
    s_transfer.undo.added.clear();
    ShowButtons(page);
}

// Contacts go in and out only while the list is the user's whole phone book: not while its file
// is still being read, and not when it could not be read (such a book is never saved).
bool BookReady(HWND page) {
    if (PhoneBookLoaded()) return true;
    Tell(page, "The phone book is not loaded: its file is still being read, or could not be read at start.",
         MB_ICONWARNING);
    return false;
}

// --- Reading, on the reader thread.

bool ReadFileBytes(const char* path, std::vector<char>* bytes) {
    OwnedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    if (size.QuadPart > kLargestImport) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    // An empty file has no buffer to read into, and nothing to read.
    if (!bytes->empty() && !ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr)) {
        return false;
    }
    bytes->resize(got);  // shorter than it was a moment ago
    return true;
}

DWORD WINAPI ContactReader(void* parameter) {
    std::unique_ptr<ContactsRead> read(static_cast<ContactsRead*>(parameter));
    std::vector<char> bytes;
    if (ReadFileBytes(read->path, &bytes)) {
        read->file = ReadContactFile(bytes.data(), bytes.size(), read->map);
    } else {
        read->error = GetLastError() != 0 ? GetLastError() : ERROR_READ_FAULT;
    }
    HWND page = read->page;  // the read is the page's once it is handed over
    delete s_transfer.read.exchange(read.release());
    PostMessageA(page, MSG_CONTACTS_READ, 0, 0);
    return 0;
}

// --- The page's side.

void StartImport(HWND page) {
    if (s_transfer.reader || !BookReady(page)) return;
    char path[MAX_PATH];
    if (ChooseFileName(Owner(page), false, kImportFilters, path, sizeof path)) ImportContactsFrom(page, path);
}

void TellRefusedFile(HWND page, const ContactsRead& read) {
    char columns[kColumnsShown];
    CopyText(columns, sizeof columns, read.file.columns.empty() ? "none" : read.file.columns.c_str());
    char text[kMessageSize];
    wsprintfA(text, "No contacts were imported: %s has no column of names or no column of phone numbers.\r\n\r\n"
                    "Columns found: %s", read.path, columns);
    Tell(page, text, MB_ICONWARNING);
}

void MergeRead(HWND page, const ContactsRead& read) {
    size_t firstAdded = g_phoneBook.contacts.size();
    ImportCounts counts{};
    {
        auto hold = LockPhoneBookForChange();
        counts = MergeContacts(&g_phoneBook, read.file, &s_transfer.undo);
    }
    if (counts.added > 0) {
        ShowPhoneBookChange(page);
        ListView_EnsureVisible(GetDlgItem(page, IDC_PHONE_BOOK_LIST), static_cast<int>(firstAdded), FALSE);
    }
    ShowButtons(page);
    auto added = static_cast<unsigned long>(counts.added);
    auto skipped = static_cast<unsigned long>(counts.skipped);
    auto refused = static_cast<unsigned long>(counts.refused);
    LogPrintf("Imported contacts from %s: %lu added, %lu skipped, %lu refused", read.path, added, skipped, refused);
    char text[kMessageSize];
    wsprintfA(text, "Contacts imported: %lu added, %lu skipped (already in the phone book), %lu refused (no name or "
                    "no phone number).", added, skipped, refused);
    Tell(page, text, MB_ICONINFORMATION);
}

void UndoLastImport(HWND page) {
    if (s_transfer.undo.added.empty()) return;
    size_t removed = 0;
    {
        auto hold = LockPhoneBookForChange();
        removed = UndoImport(&g_phoneBook, &s_transfer.undo);
    }
    ShowPhoneBookChange(page);
    ShowButtons(page);
    LogPrintf("Import taken back: %lu contacts removed", static_cast<unsigned long>(removed));
}

// The file's extension, from its dot; nullptr when the name has none.
const char* ExtensionOf(const char* path) {
    const char* dot = strrchr(path, '.');
    return dot != nullptr && strpbrk(dot, "\\/") == nullptr ? dot : nullptr;
}

void Export(HWND page) {
    if (s_transfer.reader || !BookReady(page)) return;
    char path[MAX_PATH];
    DWORD type = 1;
    if (!ChooseFileName(Owner(page), true, kExportFilters, path, sizeof path, &type)) return;
    // A name typed with a known extension says the format itself, whichever type the chooser shows.
    const char* extension = ExtensionOf(path);
    bool vCard = type == kExportVCard;
    if (extension == nullptr) {
        AppendText(path, sizeof path, vCard ? ".vcf" : ".csv");
    } else if (lstrcmpiA(extension, ".vcf") == 0 || lstrcmpiA(extension, ".vcard") == 0) {
        vCard = true;
    } else if (lstrcmpiA(extension, ".csv") == 0) {
        vCard = false;
    }
    std::string text = vCard ? ContactsToVCard(g_phoneBook, s_transfer.map) : ContactsToCsv(g_phoneBook, s_transfer.map);
    OwnedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    bool whole = file && WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    if (!whole) {
        TellFailure(page, "Could not export the phone book to ", path, kLastError);
        return;
    }
    LogPrintf("Exported the phone book to %s", path);
}

}  // namespace

void ImportContactsFrom(HWND page, const char* path) {
    if (s_transfer.reader || !BookReady(page)) return;
    auto job = std::make_unique<ContactsRead>();
    CopyText(job->path, sizeof job->path, path);
    job->page = page;
    job->map = s_transfer.map;
    OwnedHandle reader(CreateThread(nullptr, 0, ContactReader, job.get(), 0, nullptr));
    if (!reader) {
        TellFailure(page, "Could not import contacts", "", kLastError);
        return;
    }
    job.release();  // the reader's now
    s_transfer.reader = std::move(reader);
    ShowButtons(page);
}

void AttachContactTransfer(HWND page) {
    s_transfer.page = page;
    s_transfer.map = ReadAnsiCodePageMap();
    s_transfer.reader.reset();
    s_transfer.undo.added.clear();
    ShowButtons(page);
}

void DetachContactTransfer(HWND page) {
    if (s_transfer.page != page) return;
    if (s_transfer.reader) WaitForSingleObject(s_transfer.reader.get(), kReaderWaitMs);
    s_transfer.reader.reset();
    delete s_transfer.read.exchange(nullptr);  // read while the page was going
    s_transfer.undo.added.clear();
    s_transfer.page = nullptr;
}

bool OnContactTransferCommand(HWND page, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_IMPORT_CONTACTS: StartImport(page); return true;
    case IDC_EXPORT_CONTACTS: Export(page); return true;
    case IDC_UNDO_IMPORT: UndoLastImport(page); return true;
    case CMD_PAGE_ACTIVATE:
        if (lParam == 0) ForgetImport(page);
        return false;
    case CMD_PAGE_SAVE: ForgetImport(page); return false;
    default: return false;
    }
}

void OnContactsRead(HWND page) {
    std::unique_ptr<ContactsRead> read(s_transfer.read.exchange(nullptr));
    if (s_transfer.reader) WaitForSingleObject(s_transfer.reader.get(), kReaderWaitMs);  // it ends right after
    s_transfer.reader.reset();
    ShowButtons(page);
    if (read == nullptr) return;
    if (read->error != 0) {
        TellFailure(page, "Could not read ", read->path, read->error);
    } else if (!read->file.recognised) {
        TellRefusedFile(page, *read);
    } else {
        MergeRead(page, *read);
    }
}

bool TranslateContactKeys(const MSG* message) {
    HWND page = s_transfer.page;
    if (page == nullptr || message == nullptr || message->message != WM_KEYDOWN || !IsWindowVisible(page)) return false;
    if (message->hwnd != page && !IsChild(page, message->hwnd)) return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) return false;
    if (message->wParam == 'I') {
        PostMessageA(page, WM_COMMAND, IDC_IMPORT_CONTACTS, 0);
        return true;
    }
    if (message->wParam != 'Z' || s_transfer.undo.added.empty()) return false;
    char className[16] = "";
    GetClassNameA(GetFocus(), className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0) return false;  // the field takes back its own typing
    PostMessageA(page, WM_COMMAND, IDC_UNDO_IMPORT, 0);
    return true;
}
