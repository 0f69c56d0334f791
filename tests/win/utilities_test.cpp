// The small Win32 utilities every part uses: system error texts, the whole-file reader, the
// handle owner, and the case-insensitive search through the system's comparison.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/error_text.h"
#include "base/read_whole_file.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"

namespace {

TEST(ErrorText, Texts) {
    char buffer[256];
    EXPECT_STREQ("", ErrorText(0, buffer, sizeof buffer));
    strcpy(buffer, "junk");
    EXPECT_STREQ("", ErrorText(ERROR_FILE_NOT_FOUND, buffer, 7));  // too small for any text

    std::string text = ErrorText(ERROR_FILE_NOT_FOUND, buffer, sizeof buffer);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(std::string::npos, text.find_last_of("\r\n"));

    SetLastError(ERROR_ACCESS_DENIED);
    std::string last = ErrorText(kLastError, buffer, sizeof buffer);
    EXPECT_EQ(std::string(ErrorText(ERROR_ACCESS_DENIED, buffer, sizeof buffer)), last);

    char small[12];
    ErrorText(ERROR_FILE_NOT_FOUND, small, sizeof small);  // truncated or empty, never overflowing
    EXPECT_LT(strlen(small), sizeof small);
}

class TempFile {
public:
    TempFile() {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        GetTempFileNameA(folder, "twt", 0, path_);
    }
    ~TempFile() { DeleteFileA(path_); }
    const char* path() const { return path_; }
    void Write(const std::string& bytes) {
        HANDLE file = CreateFileA(path_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

private:
    char path_[MAX_PATH];
};

TEST(ReadWholeFile, ReadsWithATerminator) {
    TempFile file;
    file.Write(std::string("line one\r\nline\0two", 18));
    DWORD size = 99;
    char* block = ReadWholeFile(file.path(), &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(18u, size);
    EXPECT_EQ(std::string("line one\r\nline\0two", 18), std::string(block, 18));
    EXPECT_EQ(0, block[18]);
    LocalFree(block);
}

TEST(ReadWholeFile, EmptyMissingAndLockedFiles) {
    TempFile file;
    file.Write("");
    DWORD size = 99;
    EXPECT_EQ(nullptr, ReadWholeFile(file.path(), &size));
    EXPECT_EQ(0u, size);

    size = 99;
    EXPECT_EQ(nullptr, ReadWholeFile("C:\\no\\such\\file.log", &size));
    EXPECT_EQ(0u, size);

    file.Write("held");
    HANDLE holder = CreateFileA(file.path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // no sharing
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(nullptr, ReadWholeFile(file.path(), nullptr));
    CloseHandle(holder);
    char* block = ReadWholeFile(file.path(), nullptr);
    ASSERT_NE(nullptr, block);
    EXPECT_STREQ("held", block);
    LocalFree(block);
}

// Letters stand in for handles: each close appends its letter, so a handle closed twice or never
// shows in the text.
std::string g_closed;
struct LetterHandle {
    using Raw = char;
    static Raw Empty() { return 0; }
    static bool IsOpen(Raw raw) { return raw != 0; }
    static void Close(Raw raw) { g_closed += raw; }
};

TEST(UniqueHandle, MovesCloseEachHandleOnce) {
    g_closed.clear();
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

TEST(FindTextNoCase, UsesTheSystemComparison) {
    const char* text = "caf\xE9 /UnInStAlL";
    EXPECT_EQ(text + 5, FindTextNoCase(text, "/uninstall"));
    EXPECT_EQ(text, FindTextNoCase(text, "CAFE"));  // accents are ignored like case
    EXPECT_EQ(nullptr, FindTextNoCase("555-1234", "5551234"));
}

}  // namespace
