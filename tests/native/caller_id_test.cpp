#include "modem/caller_id.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Timed {
    double at;  // the second at which the line came
    std::string line;
};

uint32_t Tick(double seconds) { return 0xFFFFA000u + static_cast<uint32_t>(seconds * 1000); }  // wraps at 24.6 s

// Plays a transcript through the call cycle as the port monitor does: the call end check before
// each line, then the line; a line "quiet" asks only whether the report is complete by now.
// Returns "number/name@second" for each dispatched call, "end@second" for each finished one,
// "bad@second" for each broken report.
std::vector<std::string> Play(CallCycle* cycle, const std::vector<Timed>& transcript, bool withoutCallerId = false,
                              bool announceEarly = false) {
    std::vector<std::string> events;
    for (const Timed& step : transcript) {
        char at[16];
        std::snprintf(at, sizeof at, "@%g", step.at);
        uint32_t now = Tick(step.at);
        if (EndCallCycleIfSilent(cycle, now)) events.push_back(std::string("end") + at);
        LineOutcome outcome{};
        if (step.line == "quiet") {
            outcome.complete = ReportCompleteAfterQuiet(cycle, now);
        } else {
            cycle->lastDataTick = now;
            outcome = InterpretCallerIdLine(cycle, step.line.c_str(), now, withoutCallerId, announceEarly);
        }
        if (outcome.badReport) events.push_back(std::string("bad") + at);
        if (outcome.finished) events.push_back(std::string("end") + at);
        if (outcome.complete) {
            events.push_back(std::string(cycle->call.number) + "/" + cycle->call.name + at);
            cycle->call.announced = 1;
        }
    }
    return events;
}

std::vector<Timed> Lines(const std::vector<std::string>& lines) {  // a second apart
    std::vector<Timed> transcript;
    for (const std::string& line : lines) transcript.push_back({static_cast<double>(transcript.size()), line});
    return transcript;
}

TEST(CallerId, KeywordsAndValues) {
    struct Case { std::vector<std::string> lines, events; } const cases[] = {
        {{"RING", "DATE = 0612", "TIME = 0930", "NMBR = 555", "NAME = ALPHA BETA", "RING", "RING"},
         {"555/ALPHA BETA@5"}},                                                  // once, at the second ring
        {{"ring", "nmbr=555", "Name: Mixed Case", "Ring"}, {"555/Mixed Case@3"}},
        {{"RING", "Number: 555", "RING"}, {"555/@2"}},                           // no name line: dispatched all the same
        {{"RING", "DDN_NMBR = 555", "RING"}, {"555/@2"}},                        // a DDN number stands in for NMBR
        {{"RING", "NAME = ABCDEFGHIJKLMNOPQRST", "NMBR = 555", "RING"}, {"555/ABCDEFGHIJKLMNO@3"}},  // cut to 15
        {{"RING", "NMBR = 12345678901234567890", "RING"}, {"123456789012345/@2"}},
        {{"RING", "RING", "NMBR = 555", "NAME = LATE", "RING"}, {"555/@2"}},    // number at ring 2: dispatched on it,
                                                                                 // and the rest of its report is still its own
        {{"RING", "RING", "RING", "NMBR = 555", "RING"}, {}},                    // after the third ring: never
        {{"RING", "NMBR = ", "RING"}, {}},                                       // an empty number
        {{"RING", "NAME - -: X", "NMBR--555", "RING"}, {"555/X@3"}},
        {{"RING", "NAME = A\x07\x1b" "B\tC", "NMBR = 5\x7f" "55", "RING"}, {"5 55/A  B C@3"}},  // noise made blanks
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.events, Play(&cycle, Lines(c.lines))) << c.lines[1];
    }
    CallCycle cycle{};
    Play(&cycle, Lines({"RING", "NMBR = 555", "RING", "RING", "RING"}));
    EXPECT_EQ(4u, cycle.rings);  // the count handed on with each ring
}

// Callers that follow each other faster than the 12 s of a call's end: each call is shown at its
// own second ring, whichever order the line reports in.
TEST(CallerId, CallsInQuickSuccession) {
    struct Case { const char* what; std::vector<Timed> transcript; std::vector<std::string> events; } const cases[] = {
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
        {"a cycle of rings alone ends too, so the next call counts its rings from 1",
         {{0, "RING"}, {6, "RING"}, {12, "RING"}, {30, "RING"}, {30.5, "NMBR = 777"}, {36, "RING"}},
         {"end@30", "777/@36"}},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.events, Play(&cycle, c.transcript)) << c.what;
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
    EXPECT_FALSE(EndCallCycleIfSilent(&cycle, 60000));  // once
}

// Reports as modems in the field send them (MESG messages as hex digits, DDN_NMBR and NBR lines),
// with the two options of a port: calls without caller ID shown, and announcing as soon as the
// report is complete (a MESG report at once, other lines after 300 ms without another).
TEST(CallerId, ReportsAndOptions) {
    const std::string mesg = "MESG = 802001083132303631343330020a3535353132333435363707084a4f484e20444f4579";
    const std::string anna = "MESG = 800f0207353535313233340704414e4e41d6";  // 5551234, ANNA
    struct Case {
        std::vector<Timed> transcript;
        bool withoutCallerId, announceEarly;
        std::vector<std::string> events;
    } const cases[] = {
        {Lines({"RING", "nbr: 5551234", "RING"}), false, false, {"5551234/@2"}},
        {Lines({"DDN_NMBR = 5551234", "NMBR = 5559999", "RING", "RING"}), false, false, {"5559999/@3"}},  // NMBR wins
        {Lines({"NMBR = 5559999", "DDN_NMBR = 5551234", "RING", "RING"}), false, false, {"5559999/@3"}},
        {Lines({"DDN_NMBR = 5551234", mesg, "RING", "RING"}), false, false, {"5551234567/JOHN DOE@3"}},
        {Lines({"RING", "MESG = 800902073535353132333406", "RING"}), false, false, {"bad@1"}},  // checksum off by one
        // Behind an announced call a message-waiting signal is no new caller; a report is.
        {Lines({"RING", "NMBR = 555", "RING", "MESG = 110101"}), false, false, {"555/@2"}},
        {Lines({"RING", "NMBR = 555", "RING", anna}), false, false, {"555/@2", "end@3"}},
        {Lines({"RING", "NMBR = 555", "RING", "DDN_NMBR = 5551234"}), false, false, {"555/@2", "end@3"}},
        // Without a number by the second ring: a call of "-" when the option is on, at most once.
        {Lines({"RING", "RING"}), true, false, {"-/@1"}},
        {Lines({"RING", "RING"}), false, false, {}},
        {Lines({"RING", "NMBR = 5551234", "RING"}), true, false, {"5551234/@2"}},
        {Lines({"RING", "DATE = 0101", "RING", "RING"}), true, false, {"-/@2"}},
        // Announcing early; the second ring then announces nothing more.
        {{{0, "RING"}, {0.5, anna}, {4.5, "RING"}}, false, true, {"5551234/ANNA@0.5"}},
        {{{0, "RING"}, {0.5, "NMBR = 5551234"}, {0.6, "NAME = ANNA"}, {0.8, "quiet"}, {0.9, "quiet"}, {4.5, "RING"}},
         false, true, {"5551234/ANNA@0.9"}},
        {{{0, "RING"}, {0.5, "NAME = ANNA"}, {0.9, "quiet"}, {4.5, "RING"}}, false, true, {}},  // no number: never
        {{{0, "RING"}, {0.5, "DATE = 0101"}, {0.9, "quiet"}, {1, "NMBR = 5551234"}, {1.4, "quiet"}}, false, true,
         {"5551234/@1.4"}},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        EXPECT_EQ(c.events, Play(&cycle, c.transcript, c.withoutCallerId, c.announceEarly)) << c.transcript[1].line;
    }
}

}  // namespace
