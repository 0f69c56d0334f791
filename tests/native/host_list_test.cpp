// The host list of the Network page and the network agent: stored form, order, edits and targets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/host_list.h"
#include "net/host_list_model.h"

namespace {

constexpr DateTime kNow{2007, 1, 6, 12, 30, 0};
constexpr char kNowText[] = "2007-01-06 12:30:00";
constexpr char kOld[] = "2000-01-01 00:00:00";

using Texts = std::vector<std::string>;

HostListModel Load(std::string stored) {
    HostListModel model;
    stored.push_back('\0');
    LoadStoredHosts(&model, &stored[0], kNow);
    return model;
}

// Each row as "+host|stamp" ("+" only for a permanent one).
Texts Rows(const HostListModel& model) {
    Texts rows;
    for (const HostListRow& row : model.rows) rows.push_back((row.permanent ? "+" : "") + row.host + "|" + row.timestamp);
    return rows;
}

std::string Stored(const HostListModel& model) {
    std::vector<char> block(kHostBlockSize, 'x');
    size_t length = StoredHostsText(model, block.data(), block.size());
    EXPECT_EQ(length, std::string(block.data()).size());
    return block.data();
}

TEST(HostList, LoadedSortedAndStored) {
    const std::string longHost(300, 'h');
    const std::string longStamp(200, '7');
    struct Case { const char* name; std::string stored; Texts sorted; std::string saved; } const cases[] = {
        // Permanent first, then newest first; an entry without a stamp counts as entered at the
        // load, and "+" alone is a permanent row without a host, which is not written back.
        {"order and load stamps", "a;b/2007-01-06 12:00:00;+;+c/2007-01-01 00:00:00;d/2007-01-07 00:00:00;",
         {"+|2007-01-06 12:30:00", "+c|2007-01-01 00:00:00", "d|2007-01-07 00:00:00", "a|2007-01-06 12:30:00",
          "b|2007-01-06 12:00:00"},
         "+c/2007-01-01 00:00:00;d/2007-01-07 00:00:00;a/2007-01-06 12:30:00;b/2007-01-06 12:00:00;"},
        {"equal stamps keep their order", "b/1;a/1;+y/1;+x/1;", {"+y|1", "+x|1", "b|1", "a|1"}, "+y/1;+x/1;b/1;a/1;"},
        {"an empty entry ends the list", "a/1;;b/2;", {"a|1"}, "a/1;"},
        {"the last entry without its ';'", "a/1", {"a|1"}, "a/1;"},
        {"a second slash is stamp text", "a/b/c;", {"a|b/c"}, "a/b/c;"},
        {"an unreadable stamp is kept", "+h/not a time;", {"+h|not a time"}, "+h/not a time;"},
        {"an empty stamp is not written back", "h/;", {"h|"}, ""},
        // A cell holds 255 bytes of a host and 127 of a stamp, as the list control gave back.
        {"long cells cut", longHost + "/" + longStamp + ";", {longHost.substr(0, 255) + "|" + longStamp.substr(0, 127)},
         longHost.substr(0, 255) + "/" + longStamp.substr(0, 127) + ";"},
    };
    for (const Case& c : cases) {
        HostListModel model = Load(c.stored);
        SortHostList(&model);
        EXPECT_EQ(c.sorted, Rows(model)) << c.name;
        EXPECT_EQ(c.saved, Stored(model)) << c.name;
    }
    HostListModel model{{{"old", kOld, false}, {"pinned", kOld, true}, {"new", kNowText, false}}};
    EXPECT_EQ((std::vector<size_t>{2, 0, 1}), SortHostList(&model));  // where each row went
}

// The block of 16384 bytes takes rows while its text is not past the mark, each row whole.
TEST(HostList, StoredTextStopsPastTheFillMark) {
    struct Case { size_t hostLength, stampLength, rows; } const cases[] = {
        {20, 19, 389},    // the row that crosses the mark still goes in
        {255, 127, 42},   // the next row would not fit whole
    };
    for (const Case& c : cases) {
        const HostListRow row{std::string(c.hostLength, 'h'), std::string(c.stampLength, '2'), true};
        std::string saved = Stored(HostListModel{std::vector<HostListRow>(1000, row)});
        EXPECT_EQ(c.rows * (c.hostLength + c.stampLength + 3), saved.size()) << c.hostLength;  // "+host/stamp;"
        EXPECT_EQ(c.rows, Load(saved).rows.size());  // the whole text reads back row for row
    }
}

TEST(HostList, RepliesRenewOrAppend) {
    const std::vector<HostListRow> start = {{"Box", kOld, true}, {"10.0.0.5", kOld, false}};
    struct Case { const char* sender; bool taken; Texts rows; } const cases[] = {
        // Found without regard to case: only the stamp changes, the row keeps its place and mark.
        {"BOX", true, {"+Box|2007-01-06 12:30:00", "10.0.0.5|2000-01-01 00:00:00"}},
        {"10.0.0.9", true, {"+Box|2000-01-01 00:00:00", "10.0.0.5|2000-01-01 00:00:00", "10.0.0.9|2007-01-06 12:30:00"}},
        {"", false, {"+Box|2000-01-01 00:00:00", "10.0.0.5|2000-01-01 00:00:00"}},
    };
    for (const Case& c : cases) {
        HostListModel model{start};
        EXPECT_EQ(c.taken, RenewDiscoveredHost(&model, c.sender, kNow)) << c.sender;
        EXPECT_EQ(c.rows, Rows(model)) << c.sender;
    }
    // A second reply from a sender whose name was cut finds its row.
    const std::string longSender(300, 's');
    HostListModel model{start};
    RenewDiscoveredHost(&model, longSender.c_str(), kNow);
    RenewDiscoveredHost(&model, longSender.c_str(), kNow);
    EXPECT_EQ(3u, model.rows.size());
}

// A discovered host receives calls for 300 s after its last reply; a permanent one always.
TEST(HostList, TargetsInListOrder) {
    const auto targets = [](const std::vector<HostListRow>& rows) {
        std::vector<char> block(kHostBlockSize, 'x');
        ListTargetHosts(HostListModel{rows}, kNow, block.data(), block.size());
        Texts hosts;
        for (const char* host = block.data(); *host != '\0'; host += std::string(host).size() + 1) hosts.push_back(host);
        return hosts;
    };
    EXPECT_EQ((Texts{"fresh", "pinned", "named"}),
              targets({{"stale", "2007-01-06 12:25:00", false}, {"fresh", "2007-01-06 12:25:01", false},
                       {"pinned", kOld, true}, {"future", "2007-01-06 12:30:01", false}, {"", kNowText, true},
                       {"named", "not a time", true}, {"bad", "2007-13-01 00:00:00", false}}));
    // The list stops once the block is nearly full: every host in it whole, the end marked.
    Texts hosts = targets(std::vector<HostListRow>(1000, HostListRow{std::string(40, 'h'), kNowText, true}));
    EXPECT_EQ(kHostBlockFill / 41 + 1, hosts.size());
    EXPECT_EQ(std::string(40, 'h'), hosts.back());
}

TEST(HostList, TimestampAge) {
    struct Case { const char* stamp; int64_t age; } const cases[] = {
        {"2007-01-06 12:25:00", 300},
        {"2006-12-31 23:59:59", 5 * 86400 + 12 * 3600 + 30 * 60 + 1},
        {"2004-02-29 12:30:00", 1042 * 86400},          // a leap day
        {"1900-02-29 12:30:00", -1},                    // none in 1900
        {"2007-04-31 12:30:00", -1},
        {"2007-1-6 12:30:0", 0},                        // numbers need no leading zeros
        {"2007-01-06 12:30:00 ", -1},                   // anything after the seconds
        {"99999999999999999999-01-06 12:30:00", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.age, TimestampAge(c.stamp, kNow)) << "\"" << c.stamp << "\"";
    EXPECT_EQ(-1, TimestampAge("2007-01-06 12:30:00", {2007, 13, 1, 0, 0, 0}));  // a clock that names no moment
}

TEST(HostList, EditsFromThePage) {
    HostListModel model{{{"a", kOld, false}, {"", "", false}, {"b", kOld, true}}};
    EXPECT_EQ(1u, AddEmptyHostRow(&model));  // an empty row is filled first
    EXPECT_TRUE(ChangeHostRow(&model, 1, " new host\t", true, kNow));
    EXPECT_TRUE(ChangeHostRow(&model, 2, "b2", false, kNow));  // a change renews the stamp
    EXPECT_FALSE(ChangeHostRow(&model, 9, "x", false, kNow));
    EXPECT_EQ((Texts{"a|2000-01-01 00:00:00", "+newhost|2007-01-06 12:30:00", "b2|2007-01-06 12:30:00"}), Rows(model));
    EXPECT_EQ(3u, AddEmptyHostRow(&model));  // none empty: one is added, and filled next time
    EXPECT_EQ(3u, AddEmptyHostRow(&model));
    EXPECT_EQ(2u, DeleteHostRows(&model, {3, 0, 0, 7}));  // any order, repeats once, rows not there ignored
    EXPECT_EQ((Texts{"+newhost|2007-01-06 12:30:00", "b2|2007-01-06 12:30:00"}), Rows(model));
}

}  // namespace
