#include "base/text_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct CleanupCase {
    const char* input;
    const char* stripped;
    const char* collapsed;
    const char* digits;
    const char* spaced;  // ReplaceControlChars
};

TEST(TextUtils, CleanupsInPlace) {
    const CleanupCase cases[] = {
        {"", "", "", "", ""},
        {"   ", "", "", "", "   "},
        {" \t\r\n", "", "", "", "    "},
        {"abc", "abc", "abc", "", "abc"},
        {"  John   Smith \r\n", "JohnSmith", "John Smith", "", "  John   Smith   "},
        {"\tA\t\tB\nC\r", "ABC", "A B C", "", " A  B C "},
        {"(555) 123-4567", "(555)123-4567", "(555) 123-4567", "5551234567", "(555) 123-4567"},
        {"x1y2 z3", "x1y2z3", "x1y2 z3", "123", "x1y2 z3"},
        // Code page letters are bytes over 127: a signed char must not make them controls.
        {"\xE9t\xE9 9", "\xE9t\xE9" "9", "\xE9t\xE9 9", "9", "\xE9t\xE9 9"},
        // The edges of the control range: 1, 31 and 127 go; space, "~" and 128 stay.
        {"A\x01" "B\x1F" "C\x7F" "D ~\x80", "A\x01" "B\x1F" "C\x7F" "D~\x80", "A\x01" "B\x1F" "C\x7F" "D ~\x80", "",
         "A B C D ~\x80"},
    };
    for (const CleanupCase& c : cases) {
        char buffer[64];
        std::strcpy(buffer, c.input);
        StripBlanks(buffer);
        EXPECT_STREQ(c.stripped, buffer) << "StripBlanks of \"" << c.input << "\"";
        std::strcpy(buffer, c.input);
        CollapseBlanks(buffer);
        EXPECT_STREQ(c.collapsed, buffer) << "CollapseBlanks of \"" << c.input << "\"";
        std::strcpy(buffer, c.input);
        KeepDigits(buffer);
        EXPECT_STREQ(c.digits, buffer) << "KeepDigits of \"" << c.input << "\"";
        std::strcpy(buffer, c.input);
        ReplaceControlChars(buffer);
        EXPECT_STREQ(c.spaced, buffer) << "ReplaceControlChars of \"" << c.input << "\"";
    }
    StripBlanks(nullptr);
    CollapseBlanks(nullptr);
    KeepDigits(nullptr);
    ReplaceControlChars(nullptr);
}

TEST(TextUtils, CopyTextTruncatesAndAlwaysTerminates) {
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(3u, CopyText(small, sizeof small, "abcdef"));
    EXPECT_STREQ("abc", small);
    EXPECT_EQ(0u, CopyText(small, sizeof small, nullptr));
    EXPECT_STREQ("", small);
    EXPECT_EQ(0u, CopyText(small, 0, "abc"));  // nothing written at all
    EXPECT_EQ(2u, CopyTextN(small, sizeof small, "abcdef", 2));
    EXPECT_STREQ("ab", small);
    EXPECT_EQ(3u, AppendText(small, sizeof small, "zz"));
    EXPECT_STREQ("abz", small);
    EXPECT_EQ(3u, AppendText(small, sizeof small, "more"));
    EXPECT_STREQ("abz", small);
}

TEST(TextUtils, FindTextNoCase) {
    const char* text = "tellwire.exe /Uninstall now";
    EXPECT_EQ(text + 13, FindTextNoCase(text, "/UNINSTALL"));
    EXPECT_EQ(text + 13, FindTextNoCase(text, "/uninstall"));
    EXPECT_EQ(text, FindTextNoCase(text, "TELL"));
    EXPECT_EQ(text + 24, FindTextNoCase(text, "NOW"));
    EXPECT_EQ(nullptr, FindTextNoCase(text, "nowhere"));
    EXPECT_EQ(nullptr, FindTextNoCase("", "x"));
    EXPECT_EQ(nullptr, FindTextNoCase(nullptr, "x"));
    EXPECT_EQ(nullptr, FindTextNoCase(text, nullptr));
    EXPECT_EQ(nullptr, FindTextNoCase("ab", "abc"));  // pattern longer than what is left
    EXPECT_EQ(text, FindTextNoCase(text, ""));
}

TEST(TextUtils, TicksSinceAcrossTheWrap) {
    EXPECT_EQ(0u, TicksSince(1000, 1000));
    EXPECT_EQ(12000u, TicksSince(1000, 13000));
    EXPECT_EQ(16u, TicksSince(0xFFFFFFF0u, 0));          // the counter wrapped after 49.7 days
    EXPECT_EQ(12016u, TicksSince(0xFFFFFFF0u, 12000));
    EXPECT_EQ(0xFFFFFFFFu, TicksSince(1, 0));            // "now" before "start" is a huge age, never negative
}

}  // namespace
