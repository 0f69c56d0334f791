#include "net/host_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Beside the row's own type, where the comparisons of std::vector look for them.
static bool operator==(const HostListRow& a, const HostListRow& b) {
    return a.host == b.host && a.timestamp == b.timestamp && a.permanent == b.permanent;
}

static std::ostream& operator<<(std::ostream& out, const HostListRow& row) {
    return out << "[" << (row.permanent ? "+" : "") << row.host << "|" << row.timestamp << "]";
}

namespace {

constexpr DateTime kNow{2007, 1, 6, 12, 30, 0};
constexpr char kNowText[] = "2007-01-06 12:30:00";
constexpr char kOld[] = "2000-01-01 00:00:00";

using Rows = std::vector<HostListRow>;
using Texts = std::vector<std::string>;

Rows Load(std::string stored) {
    HostListModel model;
    stored.push_back('\0');
    LoadStoredHosts(&model, &stored[0], kNow);
    return model.rows;
}

std::string Stored(const Rows& rows) {
    std::vector<char> block(kHostBlockSize, 'x');
    size_t length = StoredHostsText(HostListModel{rows}, block.data(), block.size());
    EXPECT_EQ(length, std::string(block.data()).size());
    return block.data();
}

Texts Targets(const Rows& rows, const DateTime& now) {
    std::vector<char> block(kHostBlockSize, 'x');
    ListTargetHosts(HostListModel{rows}, now, block.data(), block.size());
    Texts hosts;
    for (const char* host = block.data(); *host != '\0'; host += std::string(host).size() + 1) hosts.push_back(host);
    return hosts;
}

TEST(HostListModel, LoadedSortedAndStored) {
    const std::string longHost(300, 'h');
    const std::string longStamp(200, '7');
    struct Case {
        const char* name;
        std::string stored;
        Rows sorted;         // as the page shows them after the load
        std::string saved;   // what the page writes back at close
    } const cases[] = {
        {"empty", "", {}, ""},
        // Permanent first, then newest first; an entry without a stamp counts as entered at the
        // load, and "+" alone is a permanent row without a host, which is not written back.
        {"order and load stamps", "a;b/2007-01-06 12:00:00;+;+c/2007-01-01 00:00:00;d/2007-01-07 00:00:00;",
         {{"", kNowText, true}, {"c", "2007-01-01 00:00:00", true}, {"d", "2007-01-07 00:00:00", false},
          {"a", kNowText, false}, {"b", "2007-01-06 12:00:00", false}},
         "+c/2007-01-01 00:00:00;d/2007-01-07 00:00:00;a/2007-01-06 12:30:00;b/2007-01-06 12:00:00;"},
        {"equal stamps keep their order", "b/1;a/1;+y/1;+x/1;",
         {{"y", "1", true}, {"x", "1", true}, {"b", "1", false}, {"a", "1", false}}, "+y/1;+x/1;b/1;a/1;"},
        {"unreadable stamp kept", "+h/not a time;", {{"h", "not a time", true}}, "+h/not a time;"},
        // A cell holds 255 bytes of a host and 127 of a stamp, as the list control gave back.
        {"long cells cut", longHost + "/" + longStamp + ";",
         {{longHost.substr(0, 255), longStamp.substr(0, 127), false}},
         longHost.substr(0, 255) + "/" + longStamp.substr(0, 127) + ";"},
    };
    for (const Case& c : cases) {
        HostListModel model{Load(c.stored)};
        SortHostList(&model);
        EXPECT_EQ(c.sorted, model.rows) << c.name;
        EXPECT_EQ(c.saved, Stored(model.rows)) << c.name;
    }
}

TEST(HostListModel, SortingTellsWhereRowsWent) {
    HostListModel model{{{"old", kOld, false}, {"pinned", kOld, true}, {"new", kNowText, false}}};
    EXPECT_EQ((std::vector<size_t>{2, 0, 1}), SortHostList(&model));
    EXPECT_EQ("pinned", model.rows[0].host);
}

TEST(HostListModel, RepliesRenewOrAppend) {
    const Rows start = {{"Box", kOld, true}, {"10.0.0.5", kOld, false}, {"", kOld, true}};
    const std::string longSender(300, 's');
    struct Case {
        const char* sender;
        bool taken;
        Rows rows;
    } const cases[] = {
        // Found without regard to case: only the stamp changes, the row keeps its place and mark.
        {"BOX", true, {{"Box", kNowText, true}, {"10.0.0.5", kOld, false}, {"", kOld, true}}},
        {"10.0.0.5", true, {{"Box", kOld, true}, {"10.0.0.5", kNowText, false}, {"", kOld, true}}},
        {"10.0.0.9", true, {start[0], start[1], start[2], {"10.0.0.9", kNowText, false}}},  // at the end
        {longSender.c_str(), true, {start[0], start[1], start[2], {longSender.substr(0, 255), kNowText, false}}},
        {"", false, start},
        {nullptr, false, start},
    };
    for (const Case& c : cases) {
        HostListModel model{start};
        EXPECT_EQ(c.taken, RenewDiscoveredHost(&model, c.sender, kNow)) << (c.sender ? c.sender : "<null>");
        EXPECT_EQ(c.rows, model.rows) << (c.sender ? c.sender : "<null>");
    }
    // A second reply from a sender whose name was cut finds its row.
    HostListModel model{start};
    RenewDiscoveredHost(&model, longSender.c_str(), kNow);
    RenewDiscoveredHost(&model, longSender.c_str(), kNow);
    EXPECT_EQ(4u, model.rows.size());
}

TEST(HostListModel, TargetsInListOrder) {
    const Rows rows = {{"stale", kOld, false},          {"fresh", "2007-01-06 12:29:00", false},
                       {"pinned", kOld, true},          {"future", "2999-01-01 00:00:00", false},
                       {"", kNowText, true},            {"named", "not a time", true},
                       {"bad", "2007-13-01 00:00:00", false}};
    EXPECT_EQ((Texts{"fresh", "pinned", "named"}), Targets(rows, kNow));
    EXPECT_EQ((Texts{}), Targets({}, kNow));
    // The list stops once the block is nearly full: every host in it whole, the end marked.
    Rows many(1000, HostListRow{std::string(40, 'h'), kNowText, true});
    Texts hosts = Targets(many, kNow);
    EXPECT_EQ(kHostBlockFill / 41 + 1, hosts.size());
    EXPECT_EQ(std::string(40, 'h'), hosts.back());
}

TEST(HostListModel, EditsFromThePage) {
    HostListModel model{{{"a", kOld, false}, {"", "", false}, {"b", kOld, true}}};
    EXPECT_EQ(1u, AddEmptyHostRow(&model));  // an empty row is filled first
    EXPECT_TRUE(ChangeHostRow(&model, 1, " new host\t", true, kNow));
    EXPECT_EQ((HostListRow{"newhost", kNowText, true}), model.rows[1]);
    EXPECT_TRUE(ChangeHostRow(&model, 2, "b2", false, kNow));  // a change renews the stamp
    EXPECT_EQ((HostListRow{"b2", kNowText, false}), model.rows[2]);
    EXPECT_EQ(3u, AddEmptyHostRow(&model));
    EXPECT_EQ(3u, AddEmptyHostRow(&model));
    EXPECT_FALSE(ChangeHostRow(&model, 9, "x", false, kNow));
    EXPECT_EQ(4u, model.rows.size());

    struct Case {
        std::vector<size_t> deleted;
        size_t gone;
        Texts left;
    } const cases[] = {
        {{1}, 1, {"a", "c", "d"}},
        {{3, 0, 0}, 2, {"b", "c"}},  // any order, repeats once
        {{7}, 0, {"a", "b", "c", "d"}},
        {{0, 1, 2, 3}, 4, {}},
    };
    for (const Case& c : cases) {
        HostListModel hosts{{{"a", kOld, false}, {"b", kOld, false}, {"c", kOld, false}, {"d", kOld, false}}};
        EXPECT_EQ(c.gone, DeleteHostRows(&hosts, c.deleted));
        Texts left;
        for (const HostListRow& row : hosts.rows) left.push_back(row.host);
        EXPECT_EQ(c.left, left);
    }
}

}  // namespace
