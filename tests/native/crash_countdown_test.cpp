#include "diag/crash_countdown.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CrashCountdown, OneSecondSteps) {
    struct Case {
        const char* current;
        const char* next;
        bool ignoreNow;
    } const cases[] = {
        {"Ignore", "Ignore [60]", false},  // no count yet: the countdown starts at 61
        {"Ignore [60]", "Ignore [59]", false},
        {"Ignore [2]", "Ignore [1]", false},
        {"Ignore [1]", "Ignore [0]", true},  // the last step chooses Ignore
        {"Ignore [0]", "Ignore [-1]", true},  // a late tick still ends it
        {"Ignore [x]", "Ignore [-1]", true},  // read like atoi: no digits is 0
        {"Ignore [ 7]", "Ignore [6]", false},
        {"Ignore [12abc", "Ignore [11]", false},
        {"Ignore [99999999999999]", "Ignore [2147483646]", false},  // saturated, not overflowing
        {"Ig [5] nore [9]", "Ig [4]", false},  // the first " [" counts
        {"Ignore[5]", "Ignore[5] [60]", false},  // "[" without the blank is no count
        {"", " [60]", false},
    };
    for (const Case& c : cases) {
        char out[64];
        EXPECT_EQ(c.ignoreNow, NextCountdownText(c.current, out, sizeof out)) << c.current;
        EXPECT_STREQ(c.next, out) << c.current;
    }
}

TEST(CrashCountdown, SixtyOneStepsFromTheFirstToIgnore) {
    char text[64] = "Ignore";
    int steps = 0;
    bool ignore = false;
    while (!ignore && steps < 100) {
        char next[64];
        ignore = NextCountdownText(text, next, sizeof next);
        std::strcpy(text, next);
        ++steps;
    }
    EXPECT_EQ(61, steps);  // with the first 5 s before the first step: about 66 s
    EXPECT_STREQ("Ignore [0]", text);
}

TEST(CrashCountdown, CutRestoresTheCaption) {
    struct Case {
        const char* text;
        const char* cut;
    } const cases[] = {{"Ignore [60]", "Ignore"}, {"Ignore", "Ignore"}, {"Ignore [1] [2]", "Ignore"},
                       {" [3]", ""},             {"Ignore[3]", "Ignore[3]"}};
    for (const Case& c : cases) {
        char buffer[32];
        std::strcpy(buffer, c.text);
        CutCountdown(buffer);
        EXPECT_STREQ(c.cut, buffer);
    }
    CutCountdown(nullptr);
}

TEST(CrashCountdown, SmallBuffers) {
    char out[8];
    NextCountdownText("Ignore [60]", out, sizeof out);
    EXPECT_STREQ("Ignore ", out);  // bounded: cut, never overflowing
    EXPECT_FALSE(NextCountdownText("Ignore", nullptr, 0));
}

}  // namespace
