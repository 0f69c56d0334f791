#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "modem/blocked_call.h"
#include "modem/caller_id.h"
#include "present/block_list_format.h"
#include "present/block_list_model.h"

namespace {

BlockListModel List(const std::vector<std::string>& numbers, bool withheld = false, bool outOfArea = false) {
    BlockListModel model;
    for (const std::string& number : numbers) AddBlockEntry(&model, number.c_str(), "");
    model.withheld = withheld;
    model.outOfArea = outOfArea;
    return model;
}

TEST(BlockList, WhichCallsAreBlocked) {
    struct Case {
        BlockListModel list;
        const char* number;
        bool blocked;
    } const cases[] = {
        {List({"5551234"}), "5551234", true},
        {List({"5551234"}), "2125551234", true},    // by the phone book's tail rule
        {List({"5551234"}), "5551235", false},
        {List({"5551234"}), "55512340", false},     // the tail, not any part
                {List({"1800*"}), "18005550199", true},
        {List({"1800*"}), "1800", true},
        {List({"1800*"}), "8005550199", false},     // a prefix is the start of the number as it came
        {List({"1800*"}), "11800555", false},
        {List({"*"}), "5551234", false},            // a prefix without digits blocks nothing
        {List({"5551234"}), "P", false},            // withheld and out-of-area calls go by their boxes
        {List({}, true), "P", true},
        {List({}, true), "O", false},
        {List({}, false, true), "O", true},
        {List({}, false, true), "P", false},
        {List({"1*"}, true, true), "-", false},     // no caller ID: nothing to block it by
        {List({"1*"}, true, true), "", false},
        {List({"5551234"}), "555-1234", false},     // the number as it came, as the phone book takes it
    };
    for (const Case& c : cases) {
        std::string entries;
        for (const BlockEntry& entry : c.list.entries) entries += entry.number + " ";
        EXPECT_EQ(c.blocked, BlockListBlocks(c.list, c.number)) << entries << "/ " << c.number;
    }
    EXPECT_EQ(1, FindBlockEntry(List({"1800*", "555*", "5551234"}), "5551234"));  // the first from the top
}

TEST(BlockList, NumbersAsTyped) {
    struct Case {
        const char* typed;
        size_t size;
        const char* kept;
    } const cases[] = {
        {"1-800-*", kBlockNumberSize, "1800*"},
        {"(212) 555 0199", kBlockNumberSize, "2125550199"},
        {" 1800 * ", kBlockNumberSize, "1800*"},
        {"18*00", kBlockNumberSize, "1800"},  // only a "*" at the end makes a prefix
        {"Sales", kBlockNumberSize, ""},
        {"*", kBlockNumberSize, "*"},
        {"1234567*", 6, "1234*"},  // the digits that do not fit go, the "*" stays
        {"1234567", 6, "1234"},    // room is kept for a "*" that may still come
    };
    for (const Case& c : cases) {
        char out[kBlockNumberSize];
        NormalizeBlockNumber(c.typed, out, c.size);
        EXPECT_STREQ(c.kept, out) << c.typed;
    }
}

TEST(BlockList, FileLines) {
    struct Case {
        const char* line;
        const char* number;
        const char* note;
    } const cases[] = {
        {"5551234:Sales line", "5551234", "Sales line"},
        {"5551234", "5551234", ""},                                // a number alone
        {"Sales:5551234", "", "5551234"},                          // no number before the colon: not an entry
    };
    for (const Case& c : cases) {
        std::string text = std::string("\r\n") + c.line + "\r\n";
        BookCursor cursor{text.data(), text.size(), 0};
        BlockLine entry;
        ASSERT_TRUE(NextBlockLine(&cursor, &entry)) << c.line;
        EXPECT_STREQ(c.number, entry.number) << c.line;
        EXPECT_STREQ(c.note, entry.note) << c.line;
        EXPECT_FALSE(NextBlockLine(&cursor, &entry)) << c.line;
    }
    BlockListModel model = List({"5551234", "", "1800*"});
    model.entries[2].note = "Toll free: all";
    std::vector<std::string> lines;
    for (size_t row = 0; row < model.entries.size(); ++row) {
        char line[kBlockLineSize];
        size_t length = BlockListFileLine(model, row, line, sizeof line);
        EXPECT_EQ(strlen(line), length);
        lines.push_back(line);
    }
    // An entry without a number blocks nothing and is not kept; the others read back as they were.
    EXPECT_EQ((std::vector<std::string>{"5551234:\r\n", "", "1800*:Toll free: all\r\n"}), lines);
}

TEST(BlockList, BlockThisNumber) {
    BlockListModel model;
    struct Step {
        const char* number;
        bool taken;
    } const steps[] = {
        {"5551234", true}, {"2125551234", false},  // blocked already, by its tail
        {"1234", false}, {"555-1234x", false}, {"-", false}, {"", false},
        {"P", true}, {"P", false}, {"O", true},
    };
    for (const Step& s : steps) EXPECT_EQ(s.taken, BlockCallNumber(&model, s.number, " JOHN   PUBLIC ")) << s.number;
    ASSERT_EQ(1u, model.entries.size());
    EXPECT_EQ("5551234", model.entries[0].number);
    EXPECT_EQ("JOHN PUBLIC", model.entries[0].note);
    EXPECT_TRUE(model.withheld);
    EXPECT_TRUE(model.outOfArea);
}

TEST(BlockList, EditsFromThePage) {
    BlockListModel model = List({"5551234", "1800*"});
    EXPECT_EQ(2u, AddEmptyBlockEntry(&model));
    EXPECT_EQ(2u, AddEmptyBlockEntry(&model));  // the empty one is reused
    EXPECT_TRUE(SetBlockNumber(&model, 2, "1 (900) *"));
    EXPECT_FALSE(SetBlockNumber(&model, 2, "1900*"));  // the same number: nothing to redraw
    EXPECT_TRUE(SetBlockNote(&model, 2, "  premium   rate "));
    EXPECT_FALSE(SetBlockNote(&model, 7, "no such row"));
    EXPECT_TRUE(BlockListBlocks(model, "19005550100"));
    EXPECT_EQ(2u, DeleteBlockEntries(&model, {2, 0, 0, 9}));
    ASSERT_EQ(1u, model.entries.size());
    EXPECT_EQ("1800*", model.entries[0].number);
}

// --- The moment a call counts as blocked.

uint32_t Tick(double seconds) { return 0xFFFFF000u + static_cast<uint32_t>(seconds * 1000 + 0.5); }  // wraps at 4.1 s

struct Timed {
    double at;
    std::string line;  // empty: the reader only looks again (the end of a read step)
};

// Plays a transcript as the reader does: after each line, and at each look without one, whether
// the block check is due. The second ring completes a call that was not blocked. Returns
// "number@second" for each check.
std::vector<std::string> Checks(const std::vector<Timed>& transcript, bool blocked = false) {
    CallCycle cycle{};
    std::vector<std::string> checks;
    for (const Timed& step : transcript) {
        uint32_t now = Tick(step.at);
        LineOutcome outcome{};
        if (!step.line.empty()) outcome = InterpretCallerIdLine(&cycle, step.line.c_str(), now);
        if (BlockCheckDue(&cycle, now)) {
            char at[16];
            std::snprintf(at, sizeof at, "@%g", step.at);
            checks.push_back(std::string(cycle.call.number) + at);
            cycle.blocked = blocked;
        }
        if (outcome.complete && !cycle.blocked) cycle.call.announced = 1;
    }
    return checks;
}

TEST(BlockedCall, TheMomentACallCountsAsBlocked) {
    struct Case {
        const char* what;
        std::vector<Timed> transcript;
        std::vector<std::string> checks;
    } const cases[] = {
        {"ring, report, ring: once the report has been quiet for 0.3 s",
         {{0, "RING"}, {0.5, "DATE = 1206"}, {0.5, "NMBR = 5551234"}, {0.6, "NAME = SALES"}, {0.8, ""}, {0.9, ""},
          {6, "RING"}},
         {"5551234@0.9"}},
        {"a report that is not over yet: the next ring says it is",
         {{0, "RING"}, {0.5, "NMBR = 5551234"}, {0.7, ""}, {0.75, "RING"}, {1.5, ""}},
         {"5551234@0.75"}},
        {"a report before the first ring: at that ring",
         {{0, "NMBR = 5551234"}, {0.1, ""}, {1, "RING"}},
         {"5551234@1"}},
        {"a number after the second ring: at once, the call is complete",
         {{0, "RING"}, {6, "RING"}, {6.5, "NMBR = 5551234"}},
         {"5551234@6.5"}},
        {"a MESG report is whole: at once",
         {{0, "RING"}, {0.5, "MESG = 800902073535353132333405"}},
         {"5551234@0.5"}},
        {"a DDN number replaced by the NMBR line is checked again",
         {{0, "RING"}, {0.5, "DDN_NMBR = 5550000"}, {0.9, ""}, {1, "NMBR = 5551234"}, {1.2, ""}, {1.3, ""}},
         {"5550000@0.9", "5551234@1.3"}},
        {"no number, no check", {{0, "RING"}, {0.5, "DATE = 1206"}, {2, ""}, {6, "RING"}, {12, "RING"}}, {}},
        {"a call shown at its second ring is not checked again",
         {{0, "RING"}, {6, "RING"}, {6.5, "NMBR = 5551234"}, {7, "RING"}, {8, ""}},
         {"5551234@6.5"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.checks, Checks(c.transcript)) << c.what;
    // Once blocked, a call is not looked at again, whatever its report still brings.
    EXPECT_EQ((std::vector<std::string>{"5550000@0.9"}),
              Checks({{0, "RING"}, {0.5, "DDN_NMBR = 5550000"}, {0.9, ""}, {1, "NMBR = 5551234"}, {1.3, ""}}, true));
}

TEST(BlockedCall, ThePauseBetweenTheTwoCommands) {
    HangUpPause pause{};
    EXPECT_EQ(1000u, WaitWithinHangUpPause(pause, Tick(0), 1000));  // none running: no limit
    EXPECT_FALSE(HangUpPauseOver(&pause, Tick(5)));
    StartHangUpPause(&pause, Tick(1));  // the second command is due across the wrap of the tick count
    struct Look {
        double at;
        uint32_t wait;  // of a read that would wait 1000 ms
        bool over;
    } const looks[] = {{1.2, 1000, false}, {2, 500, false}, {2.499, 1, false}, {2.5, 0, true}, {2.6, 1000, false}};
    for (const Look& look : looks) {
        EXPECT_EQ(look.wait, WaitWithinHangUpPause(pause, Tick(look.at), 1000)) << look.at;
        EXPECT_EQ(look.over, HangUpPauseOver(&pause, Tick(look.at))) << look.at;  // once
    }
}

}  // namespace
