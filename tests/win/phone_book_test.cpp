// The Phone Book page with its real dialog, list and loader thread, against a phone book file of
// its own per test. A hidden top-level window stands in for the main window; the program log
// page hangs under it so the tests can read what was logged.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/win/pump.h"

#include "tests/win/log_lines.h"

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "present/phone_book_page.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";

struct Contact {
    std::string name;
    std::string numbers;
    bool operator==(const Contact& other) const { return name == other.name && numbers == other.numbers; }
};
using Contacts = std::vector<Contact>;

std::ostream& operator<<(std::ostream& out, const Contact& contact) {
    return out << "[" << contact.name << "|" << contact.numbers << "]";
}

void WriteBook(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    CloseHandle(file);
}

// The file's bytes, or "<missing>".
std::string ReadBook(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

HWND List(HWND page) { return GetDlgItem(page, IDC_PHONE_BOOK_LIST); }

std::string Cell(HWND page, int row, int column) {
    char text[1024] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(page), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

Contacts Rows(HWND page) {
    Contacts rows;
    int count = ListView_GetItemCount(List(page));
    for (int row = 0; row < count; ++row) rows.push_back({Cell(page, row, 0), Cell(page, row, 1)});
    return rows;
}

std::string EditText(HWND page, int id) {
    char text[512] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return text;
}

void Select(HWND page, std::vector<int> rows) {
    ListView_SetItemState(List(page), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows) ListView_SetItemState(List(page), row, LVIS_SELECTED, LVIS_SELECTED);
    Pump();
}

void PressKey(HWND page, WORD key) {
    SendMessageA(List(page), WM_KEYDOWN, key, 0);
    SendMessageA(List(page), WM_KEYUP, key, 0xC0000001);
    Pump();
}

// What the list view sends its parent when a column's header is clicked.
void ClickHeader(HWND page, int column) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = List(page);
    click.hdr.idFrom = IDC_PHONE_BOOK_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(page, WM_NOTIFY, IDC_PHONE_BOOK_LIST, reinterpret_cast<LPARAM>(&click));
    Pump();
}

void Type(HWND page, int id, const char* text) {
    SetFocus(GetDlgItem(page, id));
    SetDlgItemTextA(page, id, text);
    Pump();
}

void SendPageSave(HWND page) {
    SendMessageA(page, WM_COMMAND, CMD_PAGE_SAVE, 0);
    Pump();
}

std::vector<std::string> LogLines(HWND list) { return ListBoxLines(list, false); }

int CountLinesWith(const std::vector<std::string>& lines, const std::string& part) {
    int count = 0;
    for (const std::string& line : lines) count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

struct ThreadLookup {
    std::string number;
    bool found = false;
    char name[512] = "untouched";
};

DWORD WINAPI LookupOnWorker(void* parameter) {
    auto* lookup = static_cast<ThreadLookup*>(parameter);
    lookup->found = LookupPhoneBook(lookup->number.c_str(), lookup->name, sizeof lookup->name);
    return 0;
}

// A lookup from another thread, as a port monitor or the network agent makes it, while the
// page's thread is busy elsewhere.
ThreadLookup LookupFromWorker(const std::string& number) {
    ThreadLookup lookup;
    lookup.number = number;
    HANDLE worker = CreateThread(nullptr, 0, LookupOnWorker, &lookup, 0, nullptr);
    EXPECT_NE(nullptr, worker);
    if (worker != nullptr) {
        // The page's thread handles nothing meanwhile: the lookup must not need it.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, INFINITE));
        CloseHandle(worker);
    }
    return lookup;
}

class PhoneBook : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = CreateWindowExA(0, "STATIC", "Tellwire", WS_OVERLAPPEDWINDOW, 0, 0, 700, 400, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        g_win.mainWindow = parent_;
        log_ = CreateProgramLogPage(parent_);
    }

    void SetUp() override {
        ASSERT_NE(nullptr, parent_);
        ASSERT_NE(nullptr, log_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        g_state.stop = 0;
        SendMessageA(log_, LB_RESETCONTENT, 0, 0);
        char folder[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
        path_ = std::string(folder) + "tw_" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".pbook";
        RemoveFiles();
        ASSERT_EQ(ERROR_SUCCESS, WriteSetting("pbook", path_.c_str(), static_cast<DWORD>(path_.size() + 1), REG_SZ));
    }

    void TearDown() override {
        if (page_ != nullptr) Close();
        RemoveFiles();
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    }

    void RemoveFiles() {
        DeleteFileA(path_.c_str());
        std::string beside = path_ + ".new";
        DeleteFileA(beside.c_str());
        RemoveDirectoryA(beside.c_str());
    }

    // The page, its loader started; not waited for.
    HWND Start() {
        page_ = CreatePhoneBookPage(parent_);
        EXPECT_NE(nullptr, page_);
        return page_;
    }

    // The page with the file loaded into its list.
    HWND Open() {
        Start();
        HANDLE loader = GetPropA(page_, "th");
        EXPECT_NE(nullptr, loader);
        if (loader != nullptr) {
            EXPECT_TRUE(WaitPumping(loader, INFINITE));
        }
        Pump();
        return page_;
    }

    void Close() {
        DestroyWindow(page_);
        page_ = nullptr;
        Pump();
    }

    static HWND parent_;
    static HWND log_;
    HWND page_ = nullptr;
    std::string path_;
};
HWND PhoneBook::parent_;
HWND PhoneBook::log_;

TEST_F(PhoneBook, TheListShowsTheLoadedBook) {
    WriteBook(path_, "5551234:Smith: John\r\n  5553333   :    Ann    Smith  \r\nno colon here\r\n50%s%s off\r\n");
    HWND page = Open();
    EXPECT_FALSE(IsWindowVisible(page));
    EXPECT_EQ(parent_, GetParent(page));
    for (int id : {IDC_PHONE_BOOK_LIST, IDC_ADD_CONTACT, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_NUMBERS_LABEL,
                   IDC_NUMBERS_EDIT}) {
        EXPECT_NE(nullptr, GetDlgItem(page, id)) << id;
    }
    EXPECT_TRUE(GetWindowLongA(List(page), GWL_STYLE) & LVS_OWNERDATA);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(List(page)) & LVS_EX_FULLROWSELECT);
    char title[64] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(ListView_GetColumn(List(page), 0, &column));
    EXPECT_STREQ("Contact Name", title);
    ASSERT_TRUE(ListView_GetColumn(List(page), 1, &column));
    EXPECT_STREQ("Phone Number(s)", title);
    EXPECT_EQ((Contacts{{"Smith: John", "5551234"}, {"Ann Smith", "5553333 "}}), Rows(page));
    std::vector<std::string> lines = LogLines(log_);
    EXPECT_EQ(1, CountLinesWith(lines, "Wrong phone book entry: \"no colon here\"")) << ::testing::PrintToString(lines);
    EXPECT_EQ(1, CountLinesWith(lines, "Wrong phone book entry: \"50%s%s off\""));  // text, never a format
    // Nothing selected: the editors are off and empty, a contact can be added.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NAME_EDIT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NUMBERS_LABEL)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_ADD_CONTACT)));
}

TEST_F(PhoneBook, TheBookIsSavedAndLoadedBack) {
    const std::string book = "5551234:Smith: John\r\n2125559876, 5550000:Office: front desk\r\n";
    WriteBook(path_, book);
    Open();
    SendPageSave(page_);
    EXPECT_EQ(book, ReadBook(path_));
    EXPECT_FALSE(Exists(path_ + ".new"));
    Select(page_, {0});
    Type(page_, IDC_NAME_EDIT, "John Smith");
    Close();  // changed: saved as the page goes
    EXPECT_EQ("5551234:John Smith\r\n2125559876, 5550000:Office: front desk\r\n", ReadBook(path_));
    Open();
    EXPECT_EQ((Contacts{{"John Smith", "5551234"}, {"Office: front desk", "2125559876, 5550000"}}), Rows(page_));
}

TEST_F(PhoneBook, AHeaderClickSortsAndTheSelectionGoesAlong) {
    WriteBook(path_, "3333333:charlie\r\n1111111:Bravo\r\n2222222:alpha\r\n");
    Open();
    Select(page_, {0});  // charlie
    ClickHeader(page_, 0);
    EXPECT_EQ((Contacts{{"alpha", "2222222"}, {"Bravo", "1111111"}, {"charlie", "3333333"}}), Rows(page_));
    EXPECT_EQ(2, ListView_GetNextItem(List(page_), -1, LVNI_SELECTED));
    EXPECT_EQ(1u, ListView_GetSelectedCount(List(page_)));
    EXPECT_EQ("charlie", EditText(page_, IDC_NAME_EDIT));
    EXPECT_NE(nullptr, GetPropA(page_, "ch"));  // the order decides who a shared number names
    ClickHeader(page_, 1);
    EXPECT_EQ("Bravo", Cell(page_, 0, 0));
}

TEST_F(PhoneBook, TheEditorsFollowTheSelectionAndWriteBack) {
    WriteBook(path_, "5551234:Ann\r\n5555678:Bob\r\n");
    Open();
    Select(page_, {1});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page_, IDC_NAME_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page_, IDC_NUMBERS_LABEL)));
    EXPECT_EQ("Bob", EditText(page_, IDC_NAME_EDIT));
    EXPECT_EQ("5555678", EditText(page_, IDC_NUMBERS_EDIT));
    EXPECT_EQ(nullptr, GetPropA(page_, "ch"));  // filling the editors changes nothing

    Type(page_, IDC_NUMBERS_EDIT, "5551234 / 2125559876;");
    EXPECT_EQ("5551234, 2125559876", Cell(page_, 1, 1));
    EXPECT_EQ("5551234 / 2125559876;", EditText(page_, IDC_NUMBERS_EDIT));  // the edit keeps what was typed
    Type(page_, IDC_NAME_EDIT, "  Robert \t Jones ");
    EXPECT_EQ("Robert Jones", Cell(page_, 1, 0));
    EXPECT_NE(nullptr, GetPropA(page_, "ch"));

    Select(page_, {0, 1});
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, IDC_NAME_EDIT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, IDC_ADD_CONTACT)));
    EXPECT_EQ("", EditText(page_, IDC_NAME_EDIT));
    EXPECT_EQ((Contacts{{"Ann", "5551234"}, {"Robert Jones", "5551234, 2125559876"}}), Rows(page_));
}

TEST_F(PhoneBook, InsertAddsAContactAndDeleteTakesThemAll) {
    WriteBook(path_, "5551234:Ann\r\n");
    Open();
    Select(page_, {0});
    PressKey(page_, VK_INSERT);
    ASSERT_EQ(2, ListView_GetItemCount(List(page_)));
    EXPECT_EQ(1, ListView_GetNextItem(List(page_), -1, LVNI_SELECTED));
    EXPECT_EQ(GetDlgItem(page_, IDC_NAME_EDIT), GetFocus());
    Type(page_, IDC_NUMBERS_EDIT, "5554321");
    EXPECT_EQ((Contacts{{"Ann", "5551234"}, {"", "5554321"}}), Rows(page_));

    Select(page_, {0, 1});
    PressKey(page_, VK_DELETE);
    EXPECT_EQ(0, ListView_GetItemCount(List(page_)));
    EXPECT_NE(nullptr, GetPropA(page_, "ch"));
    EXPECT_EQ("", EditText(page_, IDC_NAME_EDIT));
    SendPageSave(page_);
    EXPECT_FALSE(Exists(path_));
    EXPECT_EQ(nullptr, GetPropA(page_, "ch"));
}

TEST_F(PhoneBook, LookupsFromOtherThreadsFollowTheOrderShown) {
    char name[16] = "untouched";
    EXPECT_FALSE(LookupPhoneBook("5551234", name, sizeof name));  // no page yet
    WriteBook(path_, "5551234:Anna Local\r\n2125551234:Zoe Full\r\n");
    Open();
    ThreadLookup lookup = LookupFromWorker("2125551234");
    EXPECT_TRUE(lookup.found);
    EXPECT_STREQ("Anna Local", lookup.name);
    ClickHeader(page_, 1);  // "2125551234" before "5551234"
    lookup = LookupFromWorker("2125551234");
    EXPECT_TRUE(lookup.found);
    EXPECT_STREQ("Zoe Full", lookup.name);
    lookup = LookupFromWorker("3125559999");
    EXPECT_FALSE(lookup.found);
    EXPECT_STREQ("untouched", lookup.name);
    Close();
    EXPECT_FALSE(LookupPhoneBook("5551234", name, sizeof name));  // the page is gone
    EXPECT_STREQ("untouched", name);
}

TEST_F(PhoneBook, AnUnreadableFileIsNeverReplaced) {
    const std::string book = "5551234:Ann\r\n5555678:Bob\r\n";
    WriteBook(path_, book);
    // Another program holds the file without letting anyone read it while the loader runs.
    HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Open();
    CloseHandle(held);
    EXPECT_EQ(0, ListView_GetItemCount(List(page_)));
    PressKey(page_, VK_INSERT);
    Type(page_, IDC_NUMBERS_EDIT, "5559999");
    SendPageSave(page_);
    SendPageSave(page_);
    Close();  // "ch" is set: the page would save as it goes
    EXPECT_EQ(book, ReadBook(path_));
    std::vector<std::string> lines = LogLines(log_);
    EXPECT_EQ(1, CountLinesWith(lines, "could not be read at start")) << ::testing::PrintToString(lines);
}

TEST_F(PhoneBook, ThePathIsStoredOnFirstUse) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    ASSERT_GT(length, 4u);
    std::string expected(program, length);
    expected = expected.substr(0, expected.rfind('.') + 1) + "pbook";
    char path[MAX_PATH] = "";
    GetPhoneBookPath(path);
    EXPECT_EQ(expected, path);
    char stored[MAX_PATH] = "";
    EXPECT_EQ(REG_SZ, ReadSetting("pbook", stored, sizeof stored));
    EXPECT_EQ(expected, stored);
    // A stored path is taken as it is.
    ASSERT_EQ(ERROR_SUCCESS, WriteSetting("pbook", path_.c_str(), static_cast<DWORD>(path_.size() + 1), REG_SZ));
    GetPhoneBookPath(path);
    EXPECT_EQ(path_, path);
}

TEST_F(PhoneBook, ClosingWhileTheLoaderRunsWaitsForIt) {
    std::string book;
    for (int i = 0; i < 2000; ++i) book += std::to_string(4000000 + i) + ":Contact " + std::to_string(i) + "\r\n";
    WriteBook(path_, book);
    Start();
    SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7));
    Close();  // the loader hands its rows over by sending; the wait must carry those out
    EXPECT_EQ(book, ReadBook(path_));  // saved from the whole book, not a part of it
}

// Help requests that reach the window standing in for the main window.
int g_helpRequests;
WNDPROC g_standInProc;

LRESULT CALLBACK CountHelpRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) ++g_helpRequests;
    return CallWindowProcA(g_standInProc, window, message, wParam, lParam);
}

TEST_F(PhoneBook, HelpReachesTheMainWindow) {
    HWND page = Open();
    g_helpRequests = 0;
    g_standInProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountHelpRequests)));
    HELPINFO help{};
    help.cbSize = sizeof help;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    Pump();
    SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_standInProc));
    EXPECT_EQ(1, g_helpRequests);
}

}  // namespace
