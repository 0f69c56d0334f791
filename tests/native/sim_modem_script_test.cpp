#include "tools/sim_modem/script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sim_modem/player.h"

namespace {

using namespace sim_modem;

// An item as one line of text, so that tables can say what they expect in a word.
std::string Describe(const ScriptItem& item) {
    std::ostringstream out;
    switch (item.kind) {
        case ItemKind::Sleep: out << "sleep " << item.seconds; break;
        case ItemKind::Line: out << "line [" << item.text << "]"; break;
        case ItemKind::Raw: {
            out << "raw";
            for (char c : item.text) out << ' ' << static_cast<int>(static_cast<unsigned char>(c));
            break;
        }
        case ItemKind::Call: out << "call [" << item.text << "] [" << item.name << "]"; break;
        case ItemKind::Echo: out << "echo " << (item.on ? "on" : "off"); break;
        case ItemKind::Dead: out << "dead " << (item.on ? "on" : "off"); break;
        case ItemKind::Accept: out << "accept [" << item.text << "]"; break;
        case ItemKind::Refuse: out << "refuse [" << item.text << "]"; break;
        case ItemKind::Quit: out << "quit"; break;
    }
    return out.str();
}

// "" for a line that is nothing, "error" for one that is wrong.
std::string ParseOne(const std::string& line, ScriptSource source) {
    ScriptItem item;
    std::string error;
    switch (ParseScriptLine(line, source, &item, &error)) {
        case LineParse::Item: return Describe(item);
        case LineParse::Nothing: return "";
        case LineParse::Error: return error.empty() ? "error without a reason" : "error";
    }
    return "?";
}

// What a line is; in a file a control-only item is an error.
TEST(SimModemScript, Lines) {
    struct Case {
        const char* line;
        const char* item;
        bool controlOnly;
    } const cases[] = {
        {"sleep 1.5", "sleep 1.5", false},
        {"  sleep\t0 ", "sleep 0", false},
        {"sleep", "error", false},
        {"sleep -1", "error", false},
        {"sleep 1e9", "error", false},
        {"sleep nan", "error", false},
        {"sleep 2s", "error", false},
        {"line  NAME = O'Hara # 2 ", "line [NAME = O'Hara # 2 ]", false},
        {"line RING\r", "line [RING]", false},  // a file saved with CR LF
        {"raw \\x00\\xFf\\\\\\n\\t", "raw 0 255 92 10 9", false},
        {"raw \\q", "error", false},
        {"call 5551234  John  Smith ", "call [5551234] [John  Smith]", false},
        {"call", "error", false},
        {"\t# indented comment", "", false},
        {"  \t", "", false},
        {"LINE RING", "error", false},  // keywords are lower case
        {"echo on", "echo on", true},
        {"echo maybe", "error", true},
        {"dead off", "dead off", true},
        {"accept at+vcid=1", "accept [at+vcid=1]", true},
        {"accept", "error", true},
        {"refuse ATS0=0", "refuse [ATS0=0]", true},
        {"quit", "quit", true},
        {"quit now", "error", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.controlOnly ? "error" : c.item, ParseOne(c.line, ScriptSource::File))
            << "file: " << c.line;
        EXPECT_EQ(c.item, ParseOne(c.line, ScriptSource::Control)) << "control: " << c.line;
    }
}

TEST(SimModemScript, WholeScript) {
    ScriptParse parse =
        ParseScript("# a call\r\nsleep 1\r\n\r\ncall 123 Ann\r\nline X", ScriptSource::File);
    ASSERT_TRUE(parse.ok) << parse.error;
    ASSERT_EQ(3u, parse.items.size());
    EXPECT_EQ("sleep 1", Describe(parse.items[0]));
    EXPECT_EQ("call [123] [Ann]", Describe(parse.items[1]));
    EXPECT_EQ("line [X]", Describe(parse.items[2]));

    parse = ParseScript("sleep 1\nbogus\nsleep x\n", ScriptSource::File);
    EXPECT_FALSE(parse.ok);
    EXPECT_EQ(2u, parse.errorLine);  // the first error is the one reported
    EXPECT_NE(std::string::npos, parse.error.find("bogus")) << parse.error;
}

struct Played {
    double at;
    std::string item;
};

// Plays player to its end or until `until`, jumping the clock from wake-up to wake-up, the way
// the tool's loop does; calls are expanded at 09:05 on 7 March.
std::vector<Played> Play(Player* player, double now, double until, double ringGap = 6) {
    std::vector<Played> played;
    while (now <= until) {
        ScriptItem item;
        while (PlayerNext(player, now, &item)) {
            if (item.kind == ItemKind::Call) {
                PlayerPrepend(player, ExpandCall(item, CallTime{3, 7, 9, 5}, ringGap));
                continue;
            }
            played.push_back({now, Describe(item)});
        }
        double wake = PlayerWakeTime(*player);
        if (std::isinf(wake)) break;
        EXPECT_GT(wake, now) << "a player that is not due must not ask to be woken now";
        if (wake <= now) break;
        now = wake;
    }
    return played;
}

std::vector<ScriptItem> Items(const char* text) {
    ScriptParse parse = ParseScript(text, ScriptSource::Control);
    EXPECT_TRUE(parse.ok) << parse.error;
    return parse.items;
}

void ExpectPlayed(const std::vector<Played>& expected, const std::vector<Played>& played,
                  int line) {
    SCOPED_TRACE(testing::Message() << "called from line " << line);
    ASSERT_EQ(expected.size(), played.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(expected[i].at, played[i].at, 1e-9) << i;
        EXPECT_EQ(expected[i].item, played[i].item) << i;
    }
}

TEST(SimModemPlayer, CallTakesTwoRingCycles) {
    Player player = StartPlayer(Items("sleep 1\ncall 123 Ann"), 0, 0);
    ExpectPlayed({{1, "line [RING]"},
                  {1.5, "line [DATE = 0307]"},
                  {1.5, "line [TIME = 0905]"},
                  {1.5, "line [NMBR = 123]"},
                  {1.5, "line [NAME = Ann]"},
                  {5.5, "line [RING]"},
                  {11.5, "line [RING]"}},
                 Play(&player, 0, 100), __LINE__);
}

TEST(SimModemPlayer, RepeatsAfterThePause) {
    Player player = StartPlayer(Items("line A\nsleep 1"), 0, 2);
    ExpectPlayed({{0, "line [A]"}, {3, "line [A]"}, {6, "line [A]"}}, Play(&player, 0, 7),
                 __LINE__);

    // A script that ends with a call ended with the call's last ring. Without a name there is no
    // NAME line; a ring gap shorter than the caller-ID block makes no negative pause.
    player = StartPlayer(Items("call 1"), 0, 1);
    ExpectPlayed({{0, "line [RING]"},
                  {0.5, "line [DATE = 0307]"},
                  {0.5, "line [TIME = 0905]"},
                  {0.5, "line [NMBR = 1]"},
                  {0.5, "line [RING]"},
                  {1.5, "line [RING]"},
                  {2.5, "line [RING]"}},  // the next call, a second after the last ring
                 Play(&player, 0, 2.6, 1), __LINE__);
}

TEST(SimModemPlayer, DoesNotDriftWhenWokenLate) {
    Player player = StartPlayer(Items("sleep 1\nline A\nsleep 1\nline B"), 0, 0);
    ScriptItem item;
    ASSERT_TRUE(PlayerNext(&player, 1.3, &item));
    EXPECT_EQ("line [A]", Describe(item));
    EXPECT_FALSE(PlayerNext(&player, 1.3, &item));
    EXPECT_DOUBLE_EQ(2, PlayerWakeTime(player));
}

TEST(SimModemPlayer, ControlLinesStartWhenTheyCome) {
    Player player = StartPlayer({}, 0, 0);
    EXPECT_TRUE(std::isinf(PlayerWakeTime(player)));
    PlayerAppend(&player, Items("line X")[0], 10);  // idle since 0: plays at 10, not at 0
    ExpectPlayed({{10, "line [X]"}}, Play(&player, 10, 100), __LINE__);

    // A line behind a running sleep waits for it.
    PlayerAppend(&player, Items("sleep 5")[0], 20);
    ScriptItem item;
    EXPECT_FALSE(PlayerNext(&player, 20, &item));
    PlayerAppend(&player, Items("line Y")[0], 21);
    ExpectPlayed({{25, "line [Y]"}}, Play(&player, 21, 100), __LINE__);
}

}  // namespace
