#include "diag/temp_file_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Appends like the crash handler: a new zero-filled block of the measured size each time.
std::vector<char> Append(const std::vector<char>& list, const char* text) {
    const char* old = list.empty() ? nullptr : list.data();
    std::vector<char> block(AppendMultiStringSize(old, text), '\0');
    EXPECT_TRUE(AppendMultiStringInto(block.data(), block.size(), old, text));
    return block;
}

TEST(TempFileList, AppendAndRead) {
    std::vector<char> list;
    EXPECT_EQ(0u, MultiStringLength(nullptr));
    EXPECT_EQ(nullptr, MultiStringAt(nullptr, 0));
    list = Append(list, "C:\\Temp\\tlwire.dmp");
    EXPECT_EQ(std::strlen("C:\\Temp\\tlwire.dmp") + 4, list.size());
    list = Append(list, "C:\\Temp\\tlwire.txt");
    EXPECT_EQ(2 * (std::strlen("C:\\Temp\\tlwire.dmp") + 1), MultiStringLength(list.data()));
    EXPECT_STREQ("C:\\Temp\\tlwire.dmp", MultiStringAt(list.data(), 0));
    EXPECT_STREQ("C:\\Temp\\tlwire.txt", MultiStringAt(list.data(), 1));
    EXPECT_EQ(nullptr, MultiStringAt(list.data(), 2));
}

TEST(TempFileList, BlockTooSmall) {
    char block[8] = {'x'};
    EXPECT_FALSE(AppendMultiStringInto(block, sizeof block, nullptr, "C:\\Temp\\tlwire.txt"));
    EXPECT_EQ('\0', block[0]);
    EXPECT_TRUE(AppendMultiStringInto(block, sizeof block, nullptr, "123456"));  // text, NUL, closing NUL
    EXPECT_STREQ("123456", MultiStringAt(block, 0));
    EXPECT_EQ(nullptr, MultiStringAt(block, 1));
}

TEST(TempFileList, FindsFilesByExtensionNotBySubstring) {
    std::vector<char> list;
    EXPECT_EQ(nullptr, FindPathWithExtension(nullptr, "dmp"));
    list = Append(list, "C:\\users\\dmp.txt\\Temp\\tlwire.txt");  // no dump: the report comes first
    EXPECT_EQ(nullptr, FindPathWithExtension(list.data(), "dmp"));
    EXPECT_STREQ("C:\\users\\dmp.txt\\Temp\\tlwire.txt", FindPathWithExtension(list.data(), "TXT"));
    std::vector<char> both;
    both = Append(both, "C:\\Temp\\tlwire.DMP");
    both = Append(both, "C:\\Temp\\tlwire.txt");
    EXPECT_STREQ("C:\\Temp\\tlwire.DMP", FindPathWithExtension(both.data(), "dmp"));
    EXPECT_STREQ("C:\\Temp\\tlwire.txt", FindPathWithExtension(both.data(), "txt"));
    EXPECT_EQ(nullptr, FindPathWithExtension(both.data(), "tx"));
}

TEST(TempFileList, TempPaths) {
    struct Case {
        const char* directory;
        const char* extension;
        const char* path;
    } const cases[] = {
        {"C:\\users\\me\\Temp\\", "dmp", "C:\\users\\me\\Temp\\tlwire.dmp"},
        {"C:\\users\\me\\Temp", "txt", "C:\\users\\me\\Temp\\tlwire.txt"},  // the backslash is added
        {"", "txt", ""},
    };
    for (const Case& c : cases) {
        char out[260];
        EXPECT_EQ(c.path[0] != '\0', MakeTempPath(c.directory, c.extension, out, sizeof out));
        EXPECT_STREQ(c.path, out);
    }
    char exact[sizeof "C:\\T\\tlwire.txt"];
    EXPECT_TRUE(MakeTempPath("C:\\T", "txt", exact, sizeof exact));
    char small[sizeof "C:\\T\\tlwire.txt" - 1];
    EXPECT_FALSE(MakeTempPath("C:\\T", "txt", small, sizeof small));  // never a cut name
    EXPECT_STREQ("", small);
}

TEST(TempFileList, OnlyFilesInTheTempDirectory) {
    EXPECT_TRUE(PathInDirectory("C:\\users\\me\\Temp\\tlwire.dmp", "C:\\users\\me\\Temp\\"));
    EXPECT_TRUE(PathInDirectory("c:\\USERS\\me\\temp\\tlwire.dmp", "C:\\users\\me\\Temp\\"));
    EXPECT_FALSE(PathInDirectory("C:\\Tellwire\\tlwire.dmp", "C:\\users\\me\\Temp\\"));
    EXPECT_FALSE(PathInDirectory("C:\\users", "C:\\users\\me\\Temp\\"));
    EXPECT_FALSE(PathInDirectory("C:\\anything", ""));  // no directory: nothing is in it
    EXPECT_FALSE(PathInDirectory(nullptr, "C:\\"));
}

}  // namespace
