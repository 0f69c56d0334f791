#include "diag/log_line.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(LogLine, Prefix) {
    struct Case {
        uint32_t elapsed;
        const char* prefix;
    } const cases[] = {
        {0, "    0  "},
        {250, "  250  "},
        {99999, "99999  "},   // the last value in milliseconds
        {100000, " 1.40  "},  // then minutes and seconds
        {125000, " 2.05  "},
        {125999, " 2.05  "},  // whole seconds, not rounded
        {3600000, "60.00  "},
        {0xFFFFFFFFu, "71582.47  "},  // a counter gone wild still fits the buffer
    };
    for (const Case& c : cases) {
        char out[kLogPrefixSize];
        EXPECT_EQ(std::strlen(c.prefix), FormatLogPrefix(out, sizeof out, c.elapsed)) << c.elapsed;
        EXPECT_STREQ(c.prefix, out) << c.elapsed;
    }
    char tiny[4];
    FormatLogPrefix(tiny, sizeof tiny, 250);
    EXPECT_STREQ("  2", tiny);
}

TEST(LogLine, Trim) {
    struct Case {
        const char* text;
        const char* trimmed;
    } const cases[] = {
        {"COM1: OK\r\n", "COM1: OK"}, {"x \t \r\n", "x"}, {"\r\n", "\r"}, {"   ", " "}, {"", ""},
        {"  lead", "  lead"},
    };
    for (const Case& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.text);
        TrimLogText(buffer);
        EXPECT_STREQ(c.trimmed, buffer);
    }
}

TEST(LogLine, AtMost1001Lines) {
    EXPECT_EQ(0, LogLinesToDrop(0));
    EXPECT_EQ(0, LogLinesToDrop(1000));
    EXPECT_EQ(1, LogLinesToDrop(1001));  // the 1002nd line pushes the oldest out
    EXPECT_EQ(5, LogLinesToDrop(1005));
}

}  // namespace
