// The Caller Log page with its file: loading, appending, deleting and rewriting, and the cases in
// which the file must be left alone. A hidden window stands in for the main window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/win/pump.h"

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "present/caller_log_ids.h"
#include "present/caller_log_page.h"
#include "ui/list_view.h"
#include "tests/win/log_lines.h"

namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

std::string ReadFileText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A user's number formats, in place before the first number is formatted: the defaults, and two
// that show fewer digits than the call has (one shows none at all).
class UserFormats : public testing::Environment {
public:
    void SetUp() override {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
        ASSERT_GT(length, 4u);
        lstrcpyA(path + length - 3, "cfg");
        WriteFileText(path,
                      "[Phone_Number_Format]\r\nxxxx=xx xx\r\nxxxxx=x xx xx\r\nxxxxxx=xx xx xx\r\n"
                      "xxxxxxx=xxx xx xx\r\nxxxxxxxx=x xxx xx xx\r\nxxxxxxxxx=x (xxx) x xx xx\r\n"
                      "xxxxxxxxxx=(xxx) xxx xx xx\r\nxxxxxxxxxxx=x (xxx) xxx xx xx\r\n"
                      "xxxxxxxxxxxxxxx=\r\nxxxxxxxxxxxxxxxx=+49 xxx\r\n");
    }
};
testing::Environment* const kUserFormats = testing::AddGlobalTestEnvironment(new UserFormats);

class CallerLog : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
        SetProcessDefaults(&g_state);
        g_win.instance = GetModuleHandleA(nullptr);
        parent_ = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPED, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        g_win.mainWindow = parent_;
        log_ = CreateProgramLogPage(parent_);
        path_ = TempPath("tellwire-test.log");
        DeleteFileA(path_.c_str());
        WriteSetting("clog", path_.c_str(), static_cast<DWORD>(path_.size() + 1), REG_SZ);
    }
    void TearDown() override {
        if (page_ != nullptr) DestroyWindow(page_);
        DestroyWindow(parent_);
        Pump();
        DeleteFileA(path_.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillex");
    }
    void Open() {
        page_ = CreateCallerLogPage(parent_);
        ASSERT_NE(nullptr, page_);
    }
    // The loader adds rows through the page's thread, which is this one: keep handling messages.
    void WaitForLoader() {
        HANDLE loader = GetPropA(page_, "th");
        ASSERT_NE(nullptr, loader);
        while (MsgWaitForMultipleObjects(1, &loader, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump();
        Pump();
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        int count = static_cast<int>(SendDlgItemMessageA(page_, IDC_CALLER_LOG_LIST, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            std::string joined;
            for (int column = 0; column < 4; ++column) {
                char cell[300];
                GetListCell(page_, IDC_CALLER_LOG_LIST, row, column, cell, sizeof cell);
                joined += (column ? "|" : "") + std::string(cell);
            }
            rows.push_back(joined);
        }
        return rows;
    }
    std::vector<std::string> LogLines() { return ListBoxLines(log_, false); }
    void DeleteRows(std::initializer_list<int> rows) {
        ListView_SetItemState(GetDlgItem(page_, IDC_CALLER_LOG_LIST), -1, 0, LVIS_SELECTED);
        for (int row : rows) ListView_SetItemState(GetDlgItem(page_, IDC_CALLER_LOG_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
        NMLVKEYDOWN key{};
        key.hdr.hwndFrom = GetDlgItem(page_, IDC_CALLER_LOG_LIST);
        key.hdr.idFrom = IDC_CALLER_LOG_LIST;
        key.hdr.code = LVN_KEYDOWN;
        key.wVKey = VK_DELETE;
        SendMessageA(page_, WM_NOTIFY, IDC_CALLER_LOG_LIST, reinterpret_cast<LPARAM>(&key));
    }
    HWND parent_ = nullptr;
    HWND log_ = nullptr;
    HWND page_ = nullptr;
    std::string path_;
};

TEST_F(CallerLog, FirstStartWithoutAFile) {
    Open();
    WaitForLoader();
    EXPECT_TRUE(Rows().empty());
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(0u, log[0].find(path_ + ": "));  // the path and the system's reason
    EXPECT_GT(log[0].size(), path_.size() + 2);

    AddCallerLogEntry("JOHN Q PUBLIC", "555 1234");
    std::string text = ReadFileText(path_);
    ASSERT_EQ(43u, text.size()) << text;  // "YYYY-MM-DD HH:MM:SS 5551234 JOHN Q PUBLIC\r\n"
    EXPECT_EQ(" 5551234 JOHN Q PUBLIC\r\n", text.substr(19));
    std::vector<std::string> rows = Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(text.substr(0, 10) + "|" + text.substr(11, 8) + "|JOHN Q PUBLIC|555 12 34", rows[0]);  // formatted
}

TEST_F(CallerLog, LoadsTheFileForgivingly) {
    WriteFileText(path_,
                  "\r\n  2007-01-06 12:00:00 5551234 John Q Public\r\n"
                  "2007-01-06   12:00:01   5551234567   Ann\r\n"
                  "2007-01-06 12:00:02 5551234\r\n"             // no name field: no row
                  "2007-01-06 12:00:03 P \r\n"                  // a withheld number, no name
                  "2007-01-06\t12:00:04 5551234 Tab\r\n");      // a tab separates nothing
    Open();
    WaitForLoader();
    EXPECT_EQ((std::vector<std::string>{"2007-01-06|12:00:00|John Q Public|555 12 34",
                                        "2007-01-06|12:00:01|Ann|(555) 123 45 67", "2007-01-06|12:00:03||P"}),
              Rows());
}

TEST_F(CallerLog, DeletingRewritesTheFile) {
    WriteFileText(path_,
                  "2007-01-06 12:00:00 5551234 John   Public\r\n"
                  "2007-01-06 12:00:01 5559876 Gone\r\n"
                  "2007-01-06 12:00:02 PRIVATE Withheld\r\n"
                  "2007-01-06 12:00:03 O \r\n");
    Open();
    WaitForLoader();
    DeleteRows({1});
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ("2007-01-06 12:00:00 5551234 John Public\r\n"
              "2007-01-06 12:00:02 PRIVATE Withheld\r\n"
              "2007-01-06 12:00:03 O \r\n",
              ReadFileText(path_));
    EXPECT_EQ("<missing>", ReadFileText(path_ + ".new"));
    DeleteRows({0, 1, 2});
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ("<missing>", ReadFileText(path_));
}

// A rewrite writes each call's number as it came, not as the user's format shows it.
TEST_F(CallerLog, ARewriteKeepsTheNumbersAsTheyCame) {
    WriteFileText(path_,
                  "2007-01-06 12:00:00 123456789012345 Shown Without Number\r\n"
                  "2007-01-06 12:00:01 1234567890123456 Shown Short\r\n"
                  "2007-01-06 12:00:02 5551234 Gone\r\n");
    Open();
    WaitForLoader();
    EXPECT_EQ((std::vector<std::string>{"2007-01-06|12:00:00|Shown Without Number|",
                                        "2007-01-06|12:00:01|Shown Short|+49 123", "2007-01-06|12:00:02|Gone|555 12 34"}),
              Rows());
    DeleteRows({2});
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ("2007-01-06 12:00:00 123456789012345 Shown Without Number\r\n"
              "2007-01-06 12:00:01 1234567890123456 Shown Short\r\n",
              ReadFileText(path_));
}

// The program ends before the loader has read the file: the empty list is no history, and a
// Delete in it deletes nothing.
TEST_F(CallerLog, AListThatNeverLoadedNeverTakesTheFile) {
    const std::string history = "2007-01-06 12:00:00 5551234 Years of calls\r\n";
    WriteFileText(path_, history);
    g_state.stop = 1;
    Open();
    WaitForLoader();
    g_state.stop = 0;
    EXPECT_TRUE(Rows().empty());
    DeleteRows({});
    EXPECT_EQ(nullptr, GetPropA(page_, "ch"));
    SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7));
    DestroyWindow(page_);  // the page saves what it holds as it goes, when it may
    page_ = nullptr;
    EXPECT_EQ(history, ReadFileText(path_));
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

// The file holds every row as it was appended: a close rewrites it only when rows were deleted.
// The odd blanks below would not survive a rewrite, so they show whether one happened.
TEST_F(CallerLog, ACloseRewritesTheFileOnlyAfterDeletions) {
    const std::string history = "2007-01-06  12:00:00 5551234   John   Public\r\n"
                                "not a call\r\n"
                                "2007-01-06 12:00:01 5559876 Gone\r\n";
    WriteFileText(path_, history);
    FILETIME written = LastWrite(path_);
    Open();
    WaitForLoader();
    ASSERT_EQ(2u, Rows().size());
    Sleep(20);  // a rewrite now would carry a later time
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ(history, ReadFileText(path_));
    EXPECT_TRUE(SameTime(written, LastWrite(path_)));

    AddCallerLogEntry("NEW", "5550000");  // appended, and the close after it leaves the file alone
    std::string appended = ReadFileText(path_);
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ(appended, ReadFileText(path_));
    EXPECT_EQ(0u, appended.find(history));
    ASSERT_EQ(history.size() + 33u, appended.size()) << appended;  // "YYYY-MM-DD HH:MM:SS 5550000 NEW\r\n"

    DeleteRows({1});
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_EQ("2007-01-06 12:00:00 5551234 John Public\r\n" + appended.substr(history.size()), ReadFileText(path_));
    FILETIME saved = LastWrite(path_);
    Sleep(20);
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);  // saved once: the next close has nothing to do
    EXPECT_TRUE(SameTime(saved, LastWrite(path_)));
}

TEST_F(CallerLog, ALineThatCouldNotBeAppendedReachesTheFileAtTheNextSave) {
    WriteFileText(path_, "2007-01-06 12:00:00 5551234 Old\r\n");
    Open();
    WaitForLoader();
    // Another program holds the file without letting anyone write: the append fails.
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    AddCallerLogEntry("LOST", "5550000");
    CloseHandle(holder);
    EXPECT_EQ("2007-01-06 12:00:00 5551234 Old\r\n", ReadFileText(path_));
    ASSERT_EQ(2u, Rows().size());  // the call is still shown
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    std::string text = ReadFileText(path_);
    EXPECT_EQ(0u, text.find("2007-01-06 12:00:00 5551234 Old\r\n"));
    EXPECT_NE(std::string::npos, text.find(" 5550000 LOST\r\n")) << text;
}

// The page goes (the program ends) while its loader still has rows for it: the list holds only
// part of the file and must not replace it, even with rows deleted.
TEST_F(CallerLog, AListLoadedInPartNeverReplacesTheFile) {
    std::string history;
    for (int i = 0; i < 1500; ++i) history += "2007-01-06 12:00:00 5551234 Caller\r\n";  // under 64 KiB
    WriteFileText(path_, history);
    Open();
    Sleep(2500);  // the loader has read the file; its batches wait for this thread, which is busy
    SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7));
    DestroyWindow(page_);
    page_ = nullptr;
    EXPECT_EQ(history, ReadFileText(path_));
}

TEST_F(CallerLog, AnUnreadableFileIsNeverReplaced) {
    const std::string history = "2007-01-06 12:00:00 5551234 Years of calls\r\n";
    WriteFileText(path_, history);
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Open();
    WaitForLoader();
    EXPECT_TRUE(Rows().empty());
    CloseHandle(holder);
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);  // the empty list must not delete the file
    EXPECT_EQ(history, ReadFileText(path_));
    AddCallerLogEntry("NEW", "5550000");  // new calls are still appended
    EXPECT_EQ(0u, ReadFileText(path_).find(history));
    EXPECT_NE(std::string::npos, ReadFileText(path_).find(" 5550000 NEW\r\n"));
}

TEST_F(CallerLog, NoFullSaveWhileLoading) {
    const std::string history = "2007-01-06 12:00:00 5551234 Old call\r\n";
    WriteFileText(path_, history);
    Open();
    SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7));  // as after a Delete while the loader runs
    AddCallerLogEntry("NEW", "5550000");
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    std::string text = ReadFileText(path_);
    EXPECT_EQ(0u, text.find(history));  // appended to, not rewritten from the half-filled list
    EXPECT_NE(std::string::npos, text.find(" 5550000 NEW\r\n"));
    WaitForLoader();
    EXPECT_EQ(2u, Rows().size());
}

DWORD WINAPI AnnounceOnAnotherThread(void*) {
    AddCallerLogEntry("RACE", "5559876");
    return 0;
}

TEST_F(CallerLog, ARewriteNeverTakesOutALineJustAppended) {
    const std::string history = "2007-01-06 12:00:00 5551234 Old call\r\n";
    WriteFileText(path_, history);
    Open();
    WaitForLoader();
    // A call announced on a port monitor's thread: its row reaches the list through this thread,
    // which is busy and does not take it yet...
    HANDLE announcer = CreateThread(nullptr, 0, AnnounceOnAnotherThread, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, announcer);
    Sleep(300);
    // ...because it rewrites the file from the list, as every close of the main window does.
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_TRUE(WaitPumping(announcer, 10000));
    CloseHandle(announcer);
    std::string text = ReadFileText(path_);
    EXPECT_EQ(0u, text.find(history));
    EXPECT_NE(std::string::npos, text.find(" 5559876 RACE\r\n")) << text;
    EXPECT_EQ(2u, Rows().size());
}

TEST_F(CallerLog, ALoadCutShortByTheEndIsNeverSaved) {
    std::string history;
    // More rows than the loader hands over in the batches it may post ahead, so the end falls
    // between two batches.
    constexpr int kLines = 50000;
    for (int i = 0; i < kLines; ++i) {
        char line[64];
        wsprintfA(line, "2007-01-06 %02d:%02d:%02d 5551%03d Caller %d\r\n", i / 3600, i / 60 % 60, i % 60, i % 1000, i);
        history += line;
    }
    WriteFileText(path_, history);
    Open();
    HANDLE loader = GetPropA(page_, "th");
    ASSERT_NE(nullptr, loader);
    Sleep(1500);  // the loader has read the file and waits for this thread to take its first row
    g_state.stop = 1;  // the program ends while the list is still being filled
    SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7));  // and a row was deleted meanwhile
    EXPECT_TRUE(WaitPumping(loader, 10000));
    EXPECT_LT(Rows().size(), static_cast<size_t>(kLines));
    DestroyWindow(page_);  // the page saves what it holds as it goes, when it may
    page_ = nullptr;
    g_state.stop = 0;
    EXPECT_TRUE(history == ReadFileText(path_)) << "the file was rewritten";
}

TEST_F(CallerLog, AFailedRewriteLeavesTheOldFile) {
    const std::string before = "2007-01-06 12:00:00 5551234 A\r\n2007-01-06 12:00:01 5551235 B\r\n";
    WriteFileText(path_, before);
    Open();
    WaitForLoader();
    DeleteRows({0});
    // Another program holds the file: the new version cannot take its place.
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0);
    CloseHandle(holder);
    std::string after = ReadFileText(path_);
    EXPECT_TRUE(after == before || after == "2007-01-06 12:00:01 5551235 B\r\n") << after;  // whole, old or new
    EXPECT_EQ("<missing>", ReadFileText(path_ + ".new"));
}

}  // namespace
