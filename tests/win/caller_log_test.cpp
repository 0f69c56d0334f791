// The pages that keep a data file, the Caller Log, the Phone Book and the block list, each with its real dialog,
// list and loader thread, a hidden window standing in for the main window. Their rules are the
// core's (caller_log_model, phone_book_model, data_file_rule: tests/native); here are the owner-data
// views, the saves, the threads that append and look up, and every fault found that lost a file.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"
#include "diag/program_log.h"
#include "present/block_list_ids.h"
#include "present/block_list_lookup.h"
#include "present/block_list_page.h"
#include "present/caller_log_ids.h"
#include "present/caller_log_page.h"
#include "present/phone_book_ids.h"
#include "present/phone_book_lookup.h"
#include "present/phone_book_page.h"
#include "tests/win/win_test.h"

namespace {

using Texts = std::vector<std::string>;

// The user's number formats beside this program, in place before the first number is formatted:
// two show fewer digits than the call has (one shows none at all).
struct UserFormats : testing::Environment {
    void SetUp() override {
        char path[MAX_PATH];
        lstrcpyA(path + GetModuleFileNameA(nullptr, path, sizeof path) - 3, "cfg");
        WriteFileText(path, "[Phone_Number_Format]\r\nxxxxxxx=xxx xx xx\r\n"
                        "xxxxxxxxxxxxxxx=\r\nxxxxxxxxxxxxxxxx=+49 xxx\r\n");
    }
};
testing::Environment* const kUserFormats = testing::AddGlobalTestEnvironment(new UserFormats);

// A page that keeps a data file: its setting, maker, list, name for the file, and a line of the file.
struct Kind {
    const char* setting;
    HWND (*create)(HWND);
    int list;
    const char* what;
    const char* line;
};
const Kind kCallerLog{"clog", CreateCallerLogPage, IDC_CALLER_LOG_LIST, "log",
                      "2007-01-06 12:00:00 5551234 Caller %d\r\n"};
const Kind kPhoneBook{"pbook", CreatePhoneBookPage, IDC_PHONE_BOOK_LIST, "phone book", "4%06d:Contact\r\n"};
const Kind kBlockList{"block", CreateBlockListPage, IDC_BLOCK_LIST, "block list", "4%06d:Note\r\n"};

class DataPage : public StandInTest {
protected:
    explicit DataPage(const Kind& kind) : kind_(kind), path_(TempPath("tellwire-test.") + kind.setting) {}
    void SetUp() override {
        StandInTest::SetUp();
        log_ = CreateProgramLogPage(parent_);
        WriteSetting(kind_.setting, path_.c_str(), static_cast<DWORD>(path_.size() + 1), REG_SZ);
    }
    void TearDown() override {
        StandInTest::TearDown();
        DeleteFileA(path_.c_str());
    }
    // The page on a file of that text (held from everyone else while the loader runs, with a holder).
    void Open(const std::string& text, bool wait = true, HANDLE* holder = nullptr) {
        WriteFileText(path_, text);
        if (holder) *holder = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        page_ = kind_.create(parent_);
        ASSERT_NE(nullptr, page_);
        if (wait) {
            EXPECT_TRUE(WaitPumping(GetPropA(page_, "th"), 30000));
        }
    }
    std::string File() const { return ReadFileText(path_); }
    void MarkChanged() { SetPropA(page_, "ch", reinterpret_cast<HANDLE>(7)); }  // as after an edit
    void Save() { SendMessageA(page_, WM_COMMAND, CMD_PAGE_SAVE, 0); }
    void Close() { DestroyWindow(page_); }  // the page saves what it holds as it goes, when it may
    HWND List() const { return GetDlgItem(page_, kind_.list); }
    void Type(int id, const char* text) {
        SetFocus(GetDlgItem(page_, id));  // only what the user types in an editor changes the row
        SetDlgItemTextA(page_, id, text);
        Pump();
    }
    void Key(WORD key) {
        NMLVKEYDOWN down{{List(), static_cast<UINT_PTR>(kind_.list), LVN_KEYDOWN}, key, 0};
        SendMessageA(page_, WM_NOTIFY, kind_.list, reinterpret_cast<LPARAM>(&down));
        Pump();
    }
    Texts Rows(int columns) const { return ListRows(List(), columns); }
    void Select(int row) {
        ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
        Pump();
    }
    bool Logged(const std::string& line) const {
        Texts lines = ListBoxLines(log_, false);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::string Lines(int count) const {  // the file of that many lines
        std::string text;
        for (int i = 0; i < count; ++i) {
            char line[64];
            wsprintfA(line, kind_.line, i);
            text += line;
        }
        return text;
    }
    const Kind& kind_;
    std::string path_;
    HWND log_ = nullptr;
    HWND page_ = nullptr;
};

// The faults that lost a whole file, on both pages.
class AnyDataPage : public DataPage, public testing::WithParamInterface<const Kind*> {
protected:
    AnyDataPage() : DataPage(*GetParam()) {}
};
INSTANTIATE_TEST_SUITE_P(Pages, AnyDataPage, testing::Values(&kCallerLog, &kPhoneBook, &kBlockList),
                         [](const testing::TestParamInfo<const Kind*>& info) {
                             return std::string(info.param->setting);
                         });

TEST_P(AnyDataPage, AnUnreadableFileIsNeverReplaced) {
    HANDLE holder = nullptr;
    Open(Lines(2), true, &holder);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    CloseHandle(holder);
    EXPECT_TRUE(Rows(1).empty());
    MarkChanged();
    Save();  // the empty list must not replace the file
    Close();
    EXPECT_EQ(Lines(2), File());
    EXPECT_TRUE(Logged("Could not save " + std::string(kind_.what) + ": " + path_ +
                       " could not be read at start and is left as it is"));
}

// The program ends before the loader has read the file: the empty list is no history.
TEST_P(AnyDataPage, AListThatNeverLoadedNeverTakesTheFile) {
    g_state.stop = 1;
    Open(Lines(2));
    g_state.stop = 0;
    EXPECT_TRUE(Rows(1).empty());
    MarkChanged();
    Close();
    EXPECT_EQ(Lines(2), File());
}

// The page goes while its loader still has rows for it: the close must wait for the loader, and
// a list that holds only part of the file must not replace it.
TEST_P(AnyDataPage, AListLoadedInPartNeverReplacesTheFile) {
    Open(Lines(2000), false);
    MarkChanged();
    Close();
    EXPECT_EQ(Lines(2000), File());
}

class CallerLog : public DataPage {
protected:
    CallerLog() : DataPage(kCallerLog) {}
    // Once the loader has posted its first rows to the page, which this thread has not taken yet.
    void WaitForPostedRows() {
        MSG message;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(10)) {
            if (PeekMessageA(&message, page_, WM_APP, 0xBFFF, PM_NOREMOVE)) return;
        }
        ADD_FAILURE() << "the loader posted no rows";
    }
    void Delete(int row) {
        Select(row);
        Key(VK_DELETE);
    }
};

// The view shows each number in the user's format; a rewrite writes it as it came.
TEST_F(CallerLog, ARewriteKeepsTheNumbersAsTheyCame) {
    Open("2007-01-06 12:00:00 123456789012345 Shown Without Number\r\n"
         "2007-01-06 12:00:01 1234567890123456 Shown Short\r\n2007-01-06 12:00:02 5551234 Gone\r\n");
    EXPECT_EQ((Texts{"2007-01-06|12:00:00|Shown Without Number|", "2007-01-06|12:00:01|Shown Short|+49 123",
                     "2007-01-06|12:00:02|Gone|555 12 34"}),
              Rows(4));
    Delete(2);
    Save();
    EXPECT_EQ("2007-01-06 12:00:00 123456789012345 Shown Without Number\r\n"
              "2007-01-06 12:00:01 1234567890123456 Shown Short\r\n", File());
}

TEST_F(CallerLog, ALineThatCouldNotBeAppendedReachesTheFileAtTheNextSave) {
    Open("2007-01-06 12:00:00 5551234 Old\r\n");
    // Another program holds the file without letting anyone write: the append fails.
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    AddCallerLogEntry("LOST", "5550000");
    CloseHandle(holder);
    EXPECT_EQ("2007-01-06 12:00:00 5551234 Old\r\n", File());
    Save();
    EXPECT_EQ(0u, File().find("2007-01-06 12:00:00 5551234 Old\r\n"));
    EXPECT_NE(std::string::npos, File().find(" 5550000 LOST\r\n")) << File();
}

TEST_F(CallerLog, NoFullSaveWhileLoading) {
    const std::string history = "2007-01-06 12:00:00 5551234 Old call\r\n";
    Open(history, false);
    MarkChanged();
    AddCallerLogEntry("NEW", "5550000");
    Save();
    EXPECT_EQ(0u, File().find(history));  // appended to, not rewritten from the half-filled list
    EXPECT_NE(std::string::npos, File().find(" 5550000 NEW\r\n"));
    EXPECT_TRUE(WaitPumping(GetPropA(page_, "th"), 30000));
    EXPECT_EQ(2u, Rows(1).size());
}

TEST_F(CallerLog, ALoadCutShortByTheEndIsNeverSaved) {
    std::string history;  // more rows than the loader posts ahead, so the end falls between batches
    for (int i = 0; i < 50000; ++i) history += "2007-01-06 12:00:00 5551234 Caller " + std::to_string(i) + "\r\n";
    Open(history, false);
    WaitForPostedRows();
    g_state.stop = 1;  // the program ends while the list is still being filled
    MarkChanged();
    EXPECT_TRUE(WaitPumping(GetPropA(page_, "th"), 30000));
    EXPECT_LT(Rows(1).size(), 50000u);
    Close();
    EXPECT_TRUE(history == File()) << "the file was rewritten";
}

DWORD WINAPI AnnounceOnAnotherThread(void*) {
    AddCallerLogEntry("RACE", "5559876");
    return 0;
}

// Another thread's SendMessage to this thread waits to be carried out.
void WaitForASend(int line) {
    DWORD waited = MsgWaitForMultipleObjectsEx(0, nullptr, 10000, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "no message sent, line " << line;
}

// A call announced on a port monitor's thread has been appended; its row waits for this thread,
// which rewrites the file from the list (as a close of the main window may) before taking it.
TEST_F(CallerLog, ARewriteNeverTakesOutALineJustAppended) {
    const std::string history = "2007-01-06 12:00:00 5551234 Old call\r\n";
    Open(history);
    HANDLE announcer = CreateThread(nullptr, 0, AnnounceOnAnotherThread, nullptr, 0, nullptr);
    WaitForASend(__LINE__);  // the save before the append
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    WaitForASend(__LINE__);  // the row, after the append
    MarkChanged();
    Save();
    EXPECT_TRUE(WaitPumping(announcer, 10000));
    CloseHandle(announcer);
    EXPECT_EQ(0u, File().find(history));
    EXPECT_NE(std::string::npos, File().find(" 5559876 RACE\r\n")) << File();
    EXPECT_EQ(2u, Rows(1).size());
}

TEST_F(CallerLog, AFailedRewriteLeavesTheOldFile) {
    const std::string before = "2007-01-06 12:00:00 5551234 A\r\n2007-01-06 12:00:01 5551235 B\r\n";
    Open(before);
    Delete(0);
    // Another program holds the file: the new version cannot take its place.
    HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    Save();
    CloseHandle(holder);
    std::string after = File();
    EXPECT_TRUE(after == before || after == "2007-01-06 12:00:01 5551235 B\r\n") << after;  // whole, old or new
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path_ + ".new").c_str()));
}

// "Block this number": the selected call's number goes on the block list with the caller's name as
// its note. The Blocked column asks the list, so every call that number blocks shows it at once.
TEST_F(CallerLog, BlockThisNumber) {
    const std::string blockPath = path_ + ".block";
    DeleteFileA(blockPath.c_str());
    WriteSetting("block", blockPath.c_str(), static_cast<DWORD>(blockPath.size() + 1), REG_SZ);
    HWND blockPage = CreateBlockListPage(parent_);
    ASSERT_NE(nullptr, blockPage);
    EXPECT_TRUE(WaitPumping(GetPropA(blockPage, "th"), 30000));
    Open("2007-01-06 12:00:00 5551234 JOHN PUBLIC\r\n2007-01-06 12:01:00 2125551234 Other Line\r\n"
         "2007-01-06 12:03:00 P \r\n");
    auto blocked = [&] { return ListRows(List(), 1, 4); };  // the Blocked column
    EXPECT_EQ((Texts{"", "", ""}), blocked());
    for (int row : {0, 2}) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        Select(row);
        SendMessageA(page_, WM_COMMAND, CMD_CALLER_LOG_BLOCK, 0);
    }
    EXPECT_EQ((Texts{"Yes", "Yes", "Yes"}), blocked());
    EXPECT_EQ(1, ListView_GetItemCount(GetDlgItem(blockPage, IDC_BLOCK_LIST)));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(blockPage, IDC_BLOCK_WITHHELD));
    EXPECT_EQ(1u, ReadSettingDword("block_p", 0));
    DestroyWindow(blockPage);
    EXPECT_EQ("5551234:JOHN PUBLIC\r\n", ReadFileText(blockPath));
    DeleteFileA(blockPath.c_str());
}

class BlockList : public DataPage {
protected:
    BlockList() : DataPage(kBlockList) {}
};

DWORD WINAPI AskBlocked(void* number) { return IsNumberBlocked(static_cast<const char*>(number)) ? 1 : 0; }

// What the user types is what the port monitors block, from their own threads, at once.
TEST_F(BlockList, TypedEntriesBlockAtOnceAndAreSaved) {
    auto blockedElsewhere = [](const char* number) {
        HANDLE thread = CreateThread(nullptr, 0, AskBlocked, const_cast<char*>(number), 0, nullptr);
        EXPECT_TRUE(WaitPumping(thread, 10000));
        DWORD answer = 2;
        GetExitCodeThread(thread, &answer);
        CloseHandle(thread);
        return answer == 1;
    };
    Open("5551234:Sales line\r\nno number here\r\n");
    EXPECT_TRUE(Logged("Wrong block list entry: \"no number here\""));
    EXPECT_EQ((Texts{"5551234|Sales line"}), Rows(2));
    Key(VK_INSERT);
    Type(IDC_BLOCK_NUMBER_EDIT, "1-800-*");
    Type(IDC_BLOCK_NOTE_EDIT, "  Toll   free ");
    EXPECT_EQ((Texts{"5551234|Sales line", "1800*|Toll free"}), Rows(2));
    EXPECT_TRUE(blockedElsewhere("18005550199"));
    EXPECT_FALSE(blockedElsewhere("P"));
    SendDlgItemMessageA(page_, IDC_BLOCK_WITHHELD, BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(blockedElsewhere("P"));
    EXPECT_EQ(1u, ReadSettingDword("block_p", 0));  // stored at once
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    Select(0);
    Key(VK_DELETE);
    EXPECT_FALSE(blockedElsewhere("5551234"));
    Save();
    EXPECT_EQ("1800*:Toll free\r\n", File());
}

class PhoneBook : public DataPage {
protected:
    PhoneBook() : DataPage(kPhoneBook) {}
};

// A line the book cannot take is logged as text, never as a format. A change is saved as the page goes.
TEST_F(PhoneBook, TheListShowsTheBookAndAChangeIsSavedAsThePageGoes) {
    Open("5551234:Smith: John\r\n2125559876, 5550000:Office: front desk\r\n50%s%s off\r\n");
    EXPECT_EQ((Texts{"Smith: John|5551234", "Office: front desk|2125559876, 5550000"}), Rows(2));
    EXPECT_TRUE(Logged("Wrong phone book entry: \"50%s%s off\""));
    Select(0);
    Type(IDC_NAME_EDIT, "John Smith");
    Close();
    EXPECT_EQ("5551234:John Smith\r\n2125559876, 5550000:Office: front desk\r\n", File());
}

struct Lookup {
    const char* number;
    char name[64];
};

DWORD WINAPI LookupOnWorker(void* lookup) {
    auto* asked = static_cast<Lookup*>(lookup);
    if (!LookupPhoneBook(asked->number, asked->name, sizeof asked->name)) lstrcatA(asked->name, " (none)");
    return 0;
}

// A lookup from another thread, as a port monitor or the network agent makes it; the page's
// thread handles nothing meanwhile, so the lookup must not need it. A miss leaves the name alone.
std::string LookupFromWorker(const char* number) {
    Lookup lookup{number, "-"};
    HANDLE worker = CreateThread(nullptr, 0, LookupOnWorker, &lookup, 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, INFINITE));
    CloseHandle(worker);
    return lookup.name;
}

// A header click sorts the view and its selection goes along; the order shown decides which
// contact a shared number names, also for lookups from other threads.
TEST_F(PhoneBook, LookupsFromOtherThreadsFollowTheOrderShown) {
    Open("5551234:Anna Local\r\n2125551234:Zoe Full\r\n");
    EXPECT_EQ("Anna Local", LookupFromWorker("2125551234"));
    Select(0);
    NMLISTVIEW click{};
    click.hdr = {List(), IDC_PHONE_BOOK_LIST, LVN_COLUMNCLICK};
    click.iItem = -1;
    click.iSubItem = 1;  // the numbers' header
    SendMessageA(page_, WM_NOTIFY, IDC_PHONE_BOOK_LIST, reinterpret_cast<LPARAM>(&click));
    Pump();
    EXPECT_EQ(1, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
    EXPECT_EQ("Zoe Full", LookupFromWorker("2125551234"));
    EXPECT_EQ("- (none)", LookupFromWorker("3125559999"));
    Close();
    EXPECT_EQ("- (none)", LookupFromWorker("5551234"));  // the page is gone
}

}  // namespace
