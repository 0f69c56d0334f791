#include "modem/caller_id.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A line and the second at which it came.
struct Timed {
    double at;
    std::string line;
};

// Plays a transcript through the call cycle as the port monitor does: the call end check before
// each line, then the line. Records "number/name@second" for each dispatched call and "end@second"
// for each finished one.
struct Played {
    std::vector<uint32_t> rings;       // ring counts handed on
    std::vector<std::string> events;
};

uint32_t Tick(double seconds) { return 0xFFFFA000u + static_cast<uint32_t>(seconds * 1000); }  // wraps at 24.6 s

std::string At(double seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "@%g", seconds);
    return text;
}

Played Play(CallCycle* cycle, const std::vector<Timed>& transcript) {
    Played played;
    for (const Timed& step : transcript) {
        uint32_t now = Tick(step.at);
        if (EndCallCycleIfSilent(cycle, now)) played.events.push_back("end" + At(step.at));
        cycle->lastDataTick = now;
        LineOutcome outcome = InterpretCallerIdLine(cycle, step.line.c_str(), now);
        if (outcome.finished) played.events.push_back("end" + At(step.at));
        if (outcome.ring) played.rings.push_back(cycle->rings);
        if (outcome.complete) {
            played.events.push_back(std::string(cycle->call.number) + "/" + cycle->call.name + At(step.at));
            cycle->call.announced = 1;
        }
    }
    return played;
}

// Lines a second apart.
std::vector<Timed> Lines(const std::vector<std::string>& lines) {
    std::vector<Timed> transcript;
    for (const std::string& line : lines) transcript.push_back({static_cast<double>(transcript.size()), line});
    return transcript;
}

TEST(CallerId, ACallIsDispatchedOnceAtTheSecondRing) {
    CallCycle cycle{};
    Played played = Play(&cycle, Lines({"RING", "DATE = 0612", "TIME = 0930", "NMBR = 555", "NAME = ALPHA BETA",
                                        "RING", "RING", "RING"}));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), played.rings);
    EXPECT_EQ(std::vector<std::string>{"555/ALPHA BETA@5"}, played.events);
}

TEST(CallerId, KeywordsAndValues) {
    struct Case {
        std::vector<std::string> lines;
        std::vector<std::string> events;
    } const cases[] = {
        {{"ring", "nmbr=555", "Name: Mixed Case", "Ring"}, {"555/Mixed Case@3"}},
        {{"RING", "Number: 555", "RING"}, {"555/@2"}},                           // no name line: dispatched all the same
        {{"RING", "DDN_NMBR = 555", "RING"}, {"555/@2"}},                        // a DDN number stands in for NMBR
        {{"RING", "NAME = ABCDEFGHIJKLMNOPQRST", "NMBR = 555", "RING"}, {"555/ABCDEFGHIJKLMNO@3"}},  // cut to 15
        {{"RING", "NMBR = 12345678901234567890", "RING"}, {"123456789012345/@2"}},
        {{"RING", "RING", "NMBR = 555", "NAME = LATE", "RING"}, {"555/@2"}},    // number at ring 2: dispatched on it,
                                                                                 // and the rest of its report is still its own
        {{"RING", "RING", "RING", "NMBR = 555", "RING"}, {}},                    // after the third ring: never
        {{"RING", "NMBR = ", "RING"}, {}},                                       // an empty number
        {{"NMBR", "RING", "RING"}, {}},
        {{"RING", "NAME - -: X", "NMBR--555", "RING"}, {"555/X@3"}},
        {{"RING", "NAME = A\x07\x1b" "B\tC", "NMBR = 5\x7f" "55", "RING"}, {"5 55/A  B C@3"}},  // noise made blanks
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.events, Play(&cycle, Lines(c.lines)).events) << c.lines[1];
    }
}

// Callers that follow each other faster than the 12 s of a call's end: each call is shown at its
// own second ring, whichever order the line reports in.
TEST(CallerId, CallsInQuickSuccession) {
    struct Case {
        const char* what;
        std::vector<Timed> transcript;
        std::vector<std::string> events;
    } const cases[] = {
        {"ring, report, ring; 8 s between calls",
         {{0, "RING"}, {0.5, "DATE = 1206"}, {0.5, "NMBR = 111"}, {6, "RING"}, {12, "RING"},
          {20, "RING"}, {20.5, "DATE = 1206"}, {20.5, "NMBR = 222"}, {20.5, "NAME = B"}, {26, "RING"}, {32, "RING"},
          {41, "RING"}, {41.5, "NMBR = 333"}, {47, "RING"}},
         {"111/@6", "end@20.5", "222/B@26", "end@41.5", "333/@47"}},
        {"report before the first ring; 8 s between calls",
         {{0, "NMBR = 111"}, {1, "RING"}, {4, "RING"}, {7, "RING"}, {15, "NMBR = 222"}, {16, "RING"}, {19, "RING"}},
         {"111/@4", "end@15", "222/@19"}},
        {"a quiet line ends a call after 12 s, as before",
         {{0, "RING"}, {0.5, "NMBR = 111"}, {6, "RING"}, {18.5, "RING"}, {19, "NMBR = 222"}, {25, "RING"}},
         {"111/@6", "end@18.5", "222/@25"}},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.events, Play(&cycle, c.transcript).events) << c.what;
    }
}

TEST(CallerId, TheCycleEndsOnce12SecondsAfterTheLastBytes) {
    CallCycle cycle{};
    cycle.lastDataTick = 1000;
    for (const char* line : {"RING", "NMBR = 555", "RING"}) InterpretCallerIdLine(&cycle, line, 1000);
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 13000));  // exactly 12 s: not yet
    EXPECT_TRUE(EndCallCycleIfSilent(&cycle, 13001));
    EXPECT_EQ(0u, cycle.rings);
    EXPECT_STREQ("", cycle.call.number);
    EXPECT_EQ(0u, cycle.call.announced);
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 60000));  // once
    // A cycle of rings alone ends too, so the next call counts its rings from 1.
    Played rings = Play(&cycle, {{0, "RING"}, {6, "RING"}, {12, "RING"}, {30, "RING"}, {30.5, "NMBR = 777"},
                                 {36, "RING"}});
    EXPECT_EQ((std::vector<std::string>{"end@30", "777/@36"}), rings.events);
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
