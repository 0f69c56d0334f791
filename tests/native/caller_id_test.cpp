#include "modem/caller_id.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Plays lines through the interpreter as the port monitor does, and records what it would do.
struct Played {
    std::vector<uint32_t> rings;          // ring counts handed on
    std::vector<std::string> dispatched;  // "number/name" of each dispatched call
};

Played Play(CallCycle* cycle, const std::vector<std::string>& lines) {
    Played played;
    for (const std::string& line : lines) {
        LineOutcome outcome = InterpretCallerIdLine(cycle, line.c_str());
        if (outcome.ring) played.rings.push_back(cycle->rings);
        if (outcome.complete) {
            played.dispatched.push_back(std::string(cycle->call.number) + "/" + cycle->call.name);
            cycle->call.announced = 1;
        }
    }
    return played;
}

TEST(CallerId, ACallIsDispatchedOnceAtTheSecondRing) {
    CallCycle cycle{};
    Played played = Play(&cycle, {"RING", "DATE = 0612", "TIME = 0930", "NMBR = 555", "NAME = ALPHA BETA", "RING",
                                  "RING", "RING"});
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), played.rings);
    EXPECT_EQ(std::vector<std::string>{"555/ALPHA BETA"}, played.dispatched);
}

TEST(CallerId, KeywordsAndValues) {
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> dispatched;
    } const cases[] = {
        {{"ring", "nmbr=555", "Name: Mixed Case", "Ring"}, {"555/Mixed Case"}},
        {{"RING", "Number: 555", "RING"}, {"555/"}},                           // no name line: dispatched all the same
        {{"RING", "DDN_NMBR = 555", "RING"}, {}},                              // only logged: not at the start
        {{"RING", "NAME = ABCDEFGHIJKLMNOPQRST", "NMBR = 555", "RING"}, {"555/ABCDEFGHIJKLMNO"}},  // cut to 15
        {{"RING", "NMBR = 12345678901234567890", "RING"}, {"123456789012345/"}},
        {{"RING", "RING", "NMBR = 555"}, {"555/"}},                            // number at ring 2: dispatched on it
        {{"RING", "RING", "RING", "NMBR = 555", "RING"}, {}},                  // after the third ring: never
        {{"RING", "NMBR = ", "RING"}, {}},                                     // an empty number
        {{"NMBR", "RING", "RING"}, {}},
        {{"RING", "NAME - -: X", "NMBR--555", "RING"}, {"555/X"}},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.dispatched, Play(&cycle, c.lines).dispatched) << c.lines[1];
    }
}

TEST(CallerId, TheCycleEndsOnce12SecondsAfterTheLastBytes) {
    CallCycle cycle{};
    cycle.lastDataTick = 1000;
    Play(&cycle, {"RING", "NMBR = 555", "RING"});
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 13000));  // exactly 12 s: not yet
    EXPECT_TRUE(EndCallCycleIfSilent(&cycle, 13001));
    EXPECT_EQ(0u, cycle.rings);
    EXPECT_STREQ("", cycle.call.number);
    EXPECT_EQ(0u, cycle.call.announced);
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 60000));  // once
    // A cycle of rings alone ends too, so the next call counts its rings from 1.
    Play(&cycle, {"RING", "RING", "RING"});
    cycle.lastDataTick = 70000;
    EXPECT_TRUE(EndCallCycleIfSilent(&cycle, 90000));
    Played next = Play(&cycle, {"RING", "NMBR = 777", "RING"});
    EXPECT_EQ(std::vector<std::string>{"777/"}, next.dispatched);
    // Across the wrap of the tick counter.
    cycle.lastDataTick = 0xFFFFF000u;
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 0x00000100u));
    EXPECT_TRUE(EndCallCycleIfSilent(&cycle, 0x00002F00u));
}

TEST(CallerId, LinesOfAReadStep) {
    std::string text = "\r\nRING\r\n\r\nNMBR = 555\r\n  NAME\tX\rTAIL";
    std::vector<std::string> lines;
    size_t at = 0;
    char line[kCallerIdLineSize];
    while (NextCallerIdLine(text.data(), text.size(), &at, line, sizeof line)) lines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"RING", "NMBR = 555", "NAME\tX", "TAIL"}), lines);

    std::string longLine(300, 'a');
    longLine[255] = 'b';
    lines.clear();
    at = 0;
    while (NextCallerIdLine(longLine.data(), longLine.size(), &at, line, sizeof line)) lines.push_back(line);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(255u, lines[0].size());
    EXPECT_EQ('b', lines[1][0]);  // the 256th character starts the next line, not lost
    EXPECT_EQ(300u, lines[0].size() + lines[1].size());

    std::string withNul("RING\0NMBR = 1", 13);
    at = 0;
    ASSERT_TRUE(NextCallerIdLine(withNul.data(), withNul.size(), &at, line, sizeof line));
    EXPECT_STREQ("RING", line);
    ASSERT_TRUE(NextCallerIdLine(withNul.data(), withNul.size(), &at, line, sizeof line));  // a NUL ends a line only
    EXPECT_STREQ("NMBR = 1", line);
    EXPECT_FALSE(NextCallerIdLine(withNul.data(), withNul.size(), &at, line, sizeof line));
}

}  // namespace
