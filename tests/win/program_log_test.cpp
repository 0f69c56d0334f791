// The program log page with a real list box, written from this thread and from a worker.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/process_state.h"
#include "diag/program_log.h"
#include "tests/win/log_lines.h"

namespace {

std::vector<std::string> Lines(HWND list) { return ListBoxLines(list); }

class ProgramLog : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDefaults(&g_state);
        parent_ = CreateWindowExA(0, "STATIC", "log parent", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        list_ = CreateProgramLogPage(parent_);
    }
    void SetUp() override {
        ASSERT_NE(nullptr, list_);
        g_state.stop = 0;
        SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    }
    static HWND parent_;
    static HWND list_;
};
HWND ProgramLog::parent_;
HWND ProgramLog::list_;

TEST_F(ProgramLog, TheListIsAHiddenChildWithAFixedFont) {
    char className[16];
    GetClassNameA(list_, className, sizeof className);
    EXPECT_STREQ("ListBox", className);
    EXPECT_EQ(parent_, GetParent(list_));
    EXPECT_FALSE(IsWindowVisible(list_));
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0));
    LOGFONTA description{};
    ASSERT_EQ(static_cast<int>(sizeof description), GetObjectA(font, sizeof description, &description));
    EXPECT_EQ(-11, description.lfHeight);
    EXPECT_EQ(FIXED_PITCH, description.lfPitchAndFamily & 3);
}

TEST_F(ProgramLog, LinesGetTheirTimeAndLoseTheirLineBreak) {
    LogPrintf("COM%d: \"%s\" ==> \"%s\"\r\n", 1, "ATZ", "OK");
    Sleep(300);
    LogPrintf("second %s", "line");
    std::vector<std::string> lines = Lines(list_);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("COM1: \"ATZ\" ==> \"OK\"", lines[0].substr(7));
    EXPECT_EQ("second line", lines[1].substr(7));
    int elapsed = atoi(lines[1].substr(0, 5).c_str());
    EXPECT_GE(elapsed, 250);  // timing under Wine is loose; the exact format is a unit test
    EXPECT_EQ("  ", lines[1].substr(5, 2));
    EXPECT_EQ(1, SendMessageA(list_, LB_GETCURSEL, 0, 0));  // the newest line is selected, so in view
}

TEST_F(ProgramLog, KeepsTheNewest1001Lines) {
    for (int i = 0; i < 1005; ++i) LogPrintf("line %d", i);
    std::vector<std::string> lines = Lines(list_);
    ASSERT_EQ(1001u, lines.size());
    EXPECT_EQ("line 4", lines.front().substr(7));
    EXPECT_EQ("line 1004", lines.back().substr(7));
}

TEST_F(ProgramLog, NothingOnceStopped) {
    g_state.stop = 1;
    LogPrintf("too late");
    AddLogLine("also too late");
    EXPECT_TRUE(Lines(list_).empty());
}

TEST_F(ProgramLog, LongAndOddLines) {
    std::string huge(5000, 'x');
    LogPrintf("%s", huge.c_str());  // cut by the formatter (1024 bytes), never overflowing
    AddLogLine(huge.c_str());       // a direct line is taken whole
    LogPrintf("%s", " \r\n");
    std::vector<std::string> lines = Lines(list_);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(7u + 1023u, lines[0].size());  // 1024 bytes with the NUL
    EXPECT_EQ(7u + 5000u, lines[1].size());
    EXPECT_EQ(" ", lines[2].substr(7));  // blanks alone keep their first character
}

DWORD WINAPI LogFromWorker(void*) {
    LogPrintf("from worker %lu", GetCurrentThreadId());
    return 0;
}

TEST_F(ProgramLog, WorkerThreadsLogThroughTheWindowsThread) {
    HANDLE worker = CreateThread(nullptr, 0, LogFromWorker, nullptr, 0, nullptr);
    // The worker's line is carried out by this thread, so keep handling messages while it runs.
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseHandle(worker);
    std::vector<std::string> lines = Lines(list_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].substr(7).find("from worker "));
}

}  // namespace
