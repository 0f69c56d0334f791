// Small parts every other part uses, where they meet the system: the handle owner, the program
// log's list and the number formats' file. Their rules are the core's (tests/native).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/data_files.h"
#include "base/process_state.h"
#include "base/unique_handle.h"
#include "diag/program_log.h"
#include "present/number_format.h"
#include "present/phone_number_format.h"
#include "tests/win/win_test.h"

namespace {

// Letters stand in for handles: each close appends its letter, so a handle closed twice or never shows.
std::string g_closed;
struct LetterHandle {
    using Raw = char;
    static Raw Empty() { return 0; }
    static bool IsOpen(Raw raw) { return raw != 0; }
    static void Close(Raw raw) { g_closed += raw; }
};

TEST(UniqueHandle, MovesCloseEachHandleOnce) {
    {
        UniqueHandle<LetterHandle> first('a');
        UniqueHandle<LetterHandle> taker(std::move(first));
        EXPECT_FALSE(first);
        UniqueHandle<LetterHandle> second('b');
        second = std::move(taker);  // b goes at once; second now closes a
        EXPECT_EQ("b", g_closed);
        UniqueHandle<LetterHandle> kept('c');
        EXPECT_EQ('c', kept.release());
    }
    EXPECT_EQ("ba", g_closed);
}

// A line longer than the formatter's buffer is cut, never overflowing; once the program stops its
// work, the log takes nothing (its list may be going).
TEST(ProgramLog, LongLinesStayInsideTheirBuffersAndNothingComesOnceStopped) {
    SetProcessDefaults(&g_state);
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateProgramLogPage(window);
    std::string huge(5000, 'x');
    LogPrintf("%s", huge.c_str());
    AddLogLine(huge.c_str());  // a direct line is taken whole
    g_state.stop = 1;
    LogPrintf("too late");
    AddLogLine("also too late");
    g_state.stop = 0;
    std::vector<std::string> lines = ListBoxLines(list, false);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(1023u, lines[0].size());
    EXPECT_EQ(huge, lines[1]);
}

std::string Format(const char* number, uint32_t now) {
    char buffer[64];
    lstrcpynA(buffer, number, sizeof buffer);
    FormatPhoneNumber(buffer, sizeof buffer, now);
    return buffer;
}

// The format file beside the program cannot be written: the defaults serve meanwhile, and the
// file is tried again once a minute, not for every number.
TEST(PhoneNumberFormat, AnUnwritableFileLeavesTheDefaultsAndIsTriedOnceAMinute) {
    char path[MAX_PATH];
    GetProgramFilePath("cfg", path, sizeof path);
    DeleteFileA(path);
    RemoveDirectoryA(path);  // left by a run that failed halfway
    ASSERT_TRUE(CreateDirectoryA(path, nullptr)) << path;  // a folder in the file's place
    const uint32_t failed = 0xFFFF0000u;  // the tick count wraps within the minute
    EXPECT_EQ("555 12 34", Format("5551234", failed));
    ASSERT_TRUE(RemoveDirectoryA(path));
    EXPECT_EQ("(555) 123 45 67", Format("5551234567", failed + 59999));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path)) << "tried again within the minute";
    EXPECT_EQ("555 12 34", Format("5551234", failed + 60000));
    char written[kNumberFormatCacheSize] = {}, built[kNumberFormatCacheSize];
    DWORD length = GetPrivateProfileSectionA(kNumberFormatSection, written, sizeof written - 2, path);
    EXPECT_EQ(std::string(built, BuildDefaultNumberSection(built, sizeof built)), std::string(written, length + 1));
    DeleteFileA(path);
    // The user was told, in a box of its own thread; answered here, so the test does not end
    // while that thread is still making its window.
    HWND box = WaitForShownDialog(10000);
    ASSERT_NE(nullptr, box) << "nobody was told that the file could not be written";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([box] { return !IsWindow(box); }, 10000));
}

}  // namespace
