#include "modem/caller_id_message.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "modem/caller_id.h"
#include "tools/sim_modem/script.h"

namespace {

using Parameters = std::vector<std::pair<int, std::string>>;

// A message as the line sends it: type, length, data, and the byte that makes the sum 0.
std::string Hex(int type, const std::string& data, int checksumError = 0) {
    std::string bytes = std::string(1, static_cast<char>(type)) + static_cast<char>(data.size()) + data;
    unsigned sum = 0;
    for (char c : bytes) sum += static_cast<unsigned char>(c);
    bytes += static_cast<char>((0x100 - sum % 0x100 + checksumError) % 0x100);
    std::string hex;
    for (char c : bytes) {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

std::string Multiple(const Parameters& parameters, int checksumError = 0) {
    std::string data;
    for (const auto& [type, value] : parameters) data += std::string(1, static_cast<char>(type)) + static_cast<char>(value.size()) + value;
    return Hex(0x80, data, checksumError);
}

TEST(CallerIdMessage, Reports) {
    struct Case {
        std::string text;
        CallerIdMessageResult result;
        const char* dateTime;
        const char* number;
        const char* name;
    } const cases[] = {
        // Written out by hand, so that the helpers above cannot hide a fault they share with the decoder.
        {"802001083132303631343330020A3535353132333435363707084A4F484E20444F4579", CallerIdMessageResult::Report,
         "12061430", "5551234567", "JOHN DOE"},
        {" 04123132303631343330353535313233343536374E ", CallerIdMessageResult::Report, "12061430", "5551234567", ""},
        {Hex(0x04, "12061430P"), CallerIdMessageResult::Report, "12061430", "P", ""},
        // Parameters in any order, unknown ones skipped, the reason standing in for a missing number.
        {Multiple({{7, "ANNA"}, {3, "xyz"}, {4, "O"}, {1, "01020304"}}), CallerIdMessageResult::Report, "01020304", "O",
         "ANNA"},
        {Multiple({{4, "P"}, {2, "5551234"}}), CallerIdMessageResult::Report, "", "5551234", ""},
        {Multiple({{8, "P"}, {2, "5551234"}}), CallerIdMessageResult::Report, "", "5551234", ""},
        {Multiple({{7, "Jos\xe9 Mu\xf1oz Garc\xed" "a L\xf3pez"}, {2, "12345678901234567890"}}),
         CallerIdMessageResult::Report, "", "123456789012345", "Jos\xe9 Mu\xf1oz Garc"},
        {Multiple({{7, std::string("A\x01" "B\0C", 5)}}), CallerIdMessageResult::Report, "", "", "A B"},
        // Reports that give nothing.
        {Multiple({{2, "5551234"}}, 1), CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "0", CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "x", CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "00", CallerIdMessageResult::Bad, "", "", ""},
        {Hex(0x80, std::string("\x02\x0a" "5551234")), CallerIdMessageResult::Bad, "", "", ""},  // a length past the end
        {Hex(0x04, "1206"), CallerIdMessageResult::Bad, "", "", ""},
        {"80", CallerIdMessageResult::Bad, "", "", ""},
        // Other messages.
        {"110101", CallerIdMessageResult::NotReport, "", "", ""},
        {"", CallerIdMessageResult::NotReport, "", "", ""},
        {"hello", CallerIdMessageResult::NotReport, "", "", ""},
    };
    for (const Case& c : cases) {
        CallerIdMessage message;
        EXPECT_EQ(c.result, DecodeCallerIdMessage(c.text.c_str(), &message)) << c.text;
        EXPECT_STREQ(c.dateTime, message.dateTime) << c.text;
        EXPECT_STREQ(c.number, message.number) << c.text;
        EXPECT_STREQ(c.name, message.name) << c.text;
    }
}


// Lines of one call as modems send them: each table row is the call's lines, then what the call
// record holds after them.
TEST(CallerIdMessage, LinesThatCarryTheNumber) {
    const std::string report = "MESG = " + Multiple({{1, "12061430"}, {2, "5551234567"}, {7, "JOHN DOE"}});
    struct Case {
        std::vector<std::string> lines;
        const char* number;
        const char* name;
        bool badReport;
    } const cases[] = {
        {{"RING", "DDN_NMBR = 5551234"}, "5551234", "", false},
        {{"RING", "nbr: 5551234"}, "5551234", "", false},
        {{"DDN_NMBR = 5551234", "NMBR = 5559999"}, "5559999", "", false},
        {{"NMBR = 5559999", "DDN_NMBR = 5551234"}, "5559999", "", false},
        {{"RING", report}, "5551234567", "JOHN DOE", false},
        {{"DDN_NMBR = 5551234", report}, "5551234567", "JOHN DOE", false},
        {{"RING", "MESG = " + Multiple({{2, "5551234"}}, 1)}, "", "", true},
        {{"RING", "MESG = 110101"}, "", "", false},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        bool bad = false;
        for (const std::string& line : c.lines) bad |= InterpretCallerIdLine(&cycle, line.c_str(), 1000).badReport;
        EXPECT_STREQ(c.number, cycle.call.number) << c.lines.back();
        EXPECT_STREQ(c.name, cycle.call.name) << c.lines.back();
        EXPECT_EQ(c.badReport, bad) << c.lines.back();
    }
}

// A message-waiting signal behind an announced call is no new caller; a report is.
TEST(CallerIdMessage, OnlyAReportStartsTheNextCall) {
    EXPECT_EQ(CallerIdLineKind::Other, ClassifyCallerIdLine("MESG = 110101"));
    EXPECT_EQ(CallerIdLineKind::Report, ClassifyCallerIdLine(("MESG = " + Multiple({{2, "5551234"}})).c_str()));
    EXPECT_EQ(CallerIdLineKind::Report, ClassifyCallerIdLine("DDN_NMBR = 5551234"));
}


// The simulated modem's reports are what the program reads: each script line gives its fields back.
TEST(CallerIdMessage, TheSimulatedModemsReports) {
    struct Case {
        const char* script;
        const char* number;
        const char* name;
    } const cases[] = {
        {"mdmf 5551234567 JOHN DOE", "5551234567", "JOHN DOE"},
        {"mdmf P", "P", ""},
        {"sdmf 5551234", "5551234", ""},
        {"sdmf O", "O", ""},
    };
    for (const Case& c : cases) {
        sim_modem::ScriptItem item;
        std::string error;
        ASSERT_EQ(sim_modem::LineParse::Item,
                  sim_modem::ParseScriptLine(c.script, sim_modem::ScriptSource::File, &item, &error)) << error;
        CallCycle cycle{};
        EXPECT_FALSE(InterpretCallerIdLine(&cycle, item.text.c_str(), 0).badReport) << item.text;
        EXPECT_STREQ(c.number, cycle.call.number) << item.text;
        EXPECT_STREQ(c.name, cycle.call.name) << item.text;
    }
}


// With calls without caller ID shown, a cycle that reaches its second ring without a number is a
// call of "-"; a number that came still wins, and without the option nothing is announced.
TEST(CallerIdMessage, CallsWithoutCallerId) {
    struct Case {
        std::vector<std::string> lines;
        bool withoutCallerId;
        const char* announced;  // the number at the moment the call was complete; "" for none
    } const cases[] = {
        {{"RING", "RING"}, true, "-"},
        {{"RING", "RING"}, false, ""},
        {{"RING", "NMBR = 5551234", "RING"}, true, "5551234"},
        {{"RING", "DATE = 0101", "RING", "RING"}, true, "-"},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        std::string announced;
        for (const std::string& line : c.lines) {
            if (InterpretCallerIdLine(&cycle, line.c_str(), 1000, c.withoutCallerId).complete && announced.empty()) {
                announced = cycle.call.number;
                cycle.call.announced = 1;
            }
        }
        EXPECT_EQ(c.announced, announced) << c.lines.size() << " lines, option " << c.withoutCallerId;
    }
}


// Announcing early: a call is complete when its report is (a MESG report at once, other lines
// after 300 ms without another), and its second ring announces nothing more. Each line comes at
// its tick; "quiet@T" asks at tick T whether the report is complete.
TEST(CallerIdMessage, AnnouncingAsSoonAsTheReportIsComplete) {
    const std::string report = "MESG = " + Multiple({{2, "5551234"}, {7, "ANNA"}});
    struct Case {
        std::vector<std::pair<uint32_t, std::string>> lines;
        std::vector<std::string> announced;  // "number/name@tick"
    } const cases[] = {
        {{{0, "RING"}, {500, report}, {4500, "RING"}}, {"5551234/ANNA@500"}},
        {{{0, "RING"}, {500, "NMBR = 5551234"}, {600, "NAME = ANNA"}, {800, "quiet"}, {900, "quiet"},
          {4500, "RING"}},
         {"5551234/ANNA@900"}},
        {{{0, "RING"}, {500, "NAME = ANNA"}, {900, "quiet"}, {4500, "RING"}}, {}},  // no number: never
        {{{0, "RING"}, {500, "DATE = 0101"}, {900, "quiet"}, {1000, "NMBR = 5551234"}, {1400, "quiet"}},
         {"5551234/@1400"}},
    };
    for (const Case& c : cases) {
        CallCycle cycle{};
        std::vector<std::string> announced;
        for (const auto& [tick, line] : c.lines) {
            bool complete = line == "quiet" ? ReportCompleteAfterQuiet(&cycle, tick)
                                            : InterpretCallerIdLine(&cycle, line.c_str(), tick, false, true).complete;
            if (complete) {
                announced.push_back(std::string(cycle.call.number) + "/" + cycle.call.name + "@" + std::to_string(tick));
                cycle.call.announced = 1;
            }
        }
        EXPECT_EQ(c.announced, announced) << c.lines[1].second;
    }
}

}  // namespace
