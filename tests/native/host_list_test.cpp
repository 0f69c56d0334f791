#include "net/host_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr DateTime kNow{2007, 1, 6, 12, 30, 0};

struct Entry {
    std::string host;
    std::string timestamp;  // "<none>" when the entry had no "/"
    bool permanent;
    bool operator==(const Entry& other) const {
        return host == other.host && timestamp == other.timestamp && permanent == other.permanent;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "[" << (entry.permanent ? "+" : "") << entry.host << "|" << entry.timestamp << "]";
}

std::vector<Entry> Parse(std::string stored) {
    std::vector<Entry> entries;
    stored.push_back('\0');
    char* cursor = &stored[0];
    StoredHost entry{};
    while (NextStoredHost(&cursor, &entry)) {
        entries.push_back({entry.host, entry.timestamp != nullptr ? entry.timestamp : "<none>", entry.permanent});
    }
    return entries;
}

std::string Write(const std::vector<Entry>& entries) {
    std::vector<char> block(kHostBlockSize, '\0');
    HostTextWriter writer{block.data(), block.size(), 0};
    for (const Entry& entry : entries) {
        const char* stamp = entry.timestamp == "<none>" ? "" : entry.timestamp.c_str();
        AppendStoredHost(&writer, entry.host.c_str(), stamp, entry.permanent);
    }
    EXPECT_EQ(writer.used, std::string(block.data()).size());
    return block.data();
}

TEST(HostList, StoredFormReadsAsWritten) {
    const std::string longHost(255, 'h');
    const std::string longStamp(127, '7');
    struct Case {
        const char* name;
        std::string stored;
        std::vector<Entry> entries;
        std::string rewritten;  // what the entries give when written again
    } const cases[] = {
        {"empty", "", {}, ""},
        {"discovered and permanent",
         "+10.0.0.5/2007-01-06 12:28:35;192.168.1.20/2007-01-06 12:30:00;",
         {{"10.0.0.5", "2007-01-06 12:28:35", true}, {"192.168.1.20", "2007-01-06 12:30:00", false}},
         "+10.0.0.5/2007-01-06 12:28:35;192.168.1.20/2007-01-06 12:30:00;"},
        // An entry without a time stamp gets the load moment from the page, so it is not
        // written back without one.
        {"entry without stamp", "a;b/2007-01-06 12:00:00;",
         {{"a", "<none>", false}, {"b", "2007-01-06 12:00:00", false}}, "b/2007-01-06 12:00:00;"},
        {"plus alone", "+", {{"", "<none>", true}}, ""},
        {"plus alone then a host", "+;c/x;", {{"", "<none>", true}, {"c", "x", false}}, "c/x;"},
        {"last entry without semicolon", "a/1", {{"a", "1", false}}, "a/1;"},
        {"empty entry ends the list", "a/1;;b/2;", {{"a", "1", false}}, "a/1;"},
        {"second slash is stamp text", "a/b/c;", {{"a", "b/c", false}}, "a/b/c;"},
        {"unreadable stamp kept", "+h/not a time;", {{"h", "not a time", true}}, "+h/not a time;"},
        {"empty stamp", "h/;", {{"h", "", false}}, ""},
        {"long values", "+" + longHost + "/" + longStamp + ";",
         {{longHost, longStamp, true}}, "+" + longHost + "/" + longStamp + ";"},
    };
    for (const Case& c : cases) {
        std::vector<Entry> entries = Parse(c.stored);
        EXPECT_EQ(c.entries, entries) << c.name;
        EXPECT_EQ(c.rewritten, Write(entries)) << c.name;
    }
}

TEST(HostList, StoredTextStopsPastTheFillMark) {
    struct Case {
        size_t hostLength;
        size_t stampLength;
    } const cases[] = {{20, 19}, {255, 127}, {1, 1}, {100, 19}};
    for (const Case& c : cases) {
        const std::string host(c.hostLength, 'h');
        const std::string stamp(c.stampLength, '2');
        std::vector<char> block(kHostBlockSize, '\0');
        HostTextWriter writer{block.data(), block.size(), 0};
        size_t rows = 0;
        for (int i = 0; i < 20000; ++i) rows += AppendStoredHost(&writer, host.c_str(), stamp.c_str(), true) ? 1 : 0;
        // Rows go in whole while the text is not past the mark; the one crossing it when it fits.
        size_t row = 1 + host.size() + 1 + stamp.size() + 1;
        size_t expected = kHostBlockFill / row + 1;
        if (expected * row + 1 > kHostBlockSize) --expected;
        EXPECT_EQ(expected, rows) << c.hostLength;
        EXPECT_EQ(rows * row, writer.used);
        EXPECT_LT(writer.used, kHostBlockSize);
        EXPECT_EQ(writer.used, std::string(block.data()).size());
        EXPECT_EQ(rows, Parse(block.data()).size());  // the whole text reads back row for row
    }
}

TEST(HostList, TargetsFormAMultiString) {
    std::vector<char> block(64, '\0');
    HostTextWriter writer{block.data(), block.size(), 0};
    EXPECT_TRUE(AppendTargetHost(&writer, "10.0.0.5"));
    EXPECT_FALSE(AppendTargetHost(&writer, ""));
    EXPECT_TRUE(AppendTargetHost(&writer, "box"));
    EXPECT_EQ(std::string("10.0.0.5\0box\0\0", 15), std::string(block.data(), 15));
    // A host that does not fit whole is left out; the list stays terminated.
    EXPECT_FALSE(AppendTargetHost(&writer, std::string(60, 'x').c_str()));
    EXPECT_EQ(13u, writer.used);
    EXPECT_EQ('\0', block[13]);
}

TEST(HostList, FormatTimestamp) {
    char buffer[kTimestampSize];
    EXPECT_STREQ("2007-01-06 12:30:00", FormatTimestamp(kNow, buffer, sizeof buffer));
    EXPECT_STREQ("0999-12-31 23:59:59", FormatTimestamp({999, 12, 31, 23, 59, 59}, buffer, sizeof buffer));
    char small[8];
    EXPECT_STREQ("2007-01", FormatTimestamp(kNow, small, sizeof small));
}

TEST(HostList, TimestampAge) {
    struct Case {
        const char* stamp;
        DateTime now;
        int64_t age;
    } const cases[] = {
        {"2007-01-06 12:30:00", kNow, 0},
        {"2007-01-06 12:25:01", kNow, 299},
        {"2007-01-06 12:25:00", kNow, 300},
        {"2007-01-06 12:30:05", kNow, -5},            // a stamp in the future
        {"2008-01-06 12:30:00", kNow, -31536000},
        {"2007-01-01 12:30:00", kNow, 5 * 86400},
        {"2004-02-29 00:00:00", {2004, 3, 1, 0, 0, 0}, 86400},
        {"2006-12-31 23:59:59", {2007, 1, 1, 0, 0, 0}, 1},
        {"2007-1-6 12:30:0", kNow, 0},                // numbers need no leading zeros
        {"2007-13-06 12:30:00", kNow, -1},            // month 13
        {"2007-00-06 12:30:00", kNow, -1},            // month 0
        {"2007-04-31 12:30:00", kNow, -1},
        {"2007-02-29 12:30:00", kNow, -1},
        {"2007-01-06 24:00:00", kNow, -1},
        {"2007-01-06 12:60:00", kNow, -1},
        {"2007-01-06 12:30:00 ", kNow, -1},           // anything after the seconds
        {"2007-01-06T12:30:00", kNow, -1},
        {"2007/01/06 12:30:00", kNow, -1},
        {"2007-01-06", kNow, -1},
        {"", kNow, -1},
        {"--  ::", kNow, -1},                          // empty numbers read as 0: year 0
        {"99999999999999999999-01-06 12:30:00", kNow, -1},
        {"2007-01-06 12:30:00", {2007, 13, 1, 0, 0, 0}, -1},  // a clock that names no moment
    };
    for (const Case& c : cases) EXPECT_EQ(c.age, TimestampAge(c.stamp, c.now)) << "\"" << c.stamp << "\"";
    EXPECT_EQ(-1, TimestampAge(nullptr, kNow));
}

TEST(HostList, TargetRule) {
    struct Case {
        const char* host;
        const char* stamp;
        bool permanent;
        bool target;
    } const cases[] = {
        {"10.0.0.5", "2007-01-06 12:30:00", false, true},
        {"10.0.0.5", "2007-01-06 12:25:01", false, true},   // 299 s
        {"10.0.0.5", "2007-01-06 12:25:00", false, false},  // 300 s
        {"10.0.0.5", "2007-01-03 08:00:00", false, false},
        {"10.0.0.5", "2007-01-03 08:00:00", true, true},    // permanent, days old
        {"10.0.0.5", "2007-01-06 12:30:01", false, false},  // from the future
        {"10.0.0.5", "not a time", false, false},
        {"10.0.0.5", "not a time", true, true},
        {"10.0.0.5", nullptr, false, false},
        {"", "2007-01-06 12:30:00", true, false},           // no host, no target
        {nullptr, "2007-01-06 12:30:00", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.target, IsTargetHost(c.host, c.stamp, c.permanent, kNow))
            << (c.host ? c.host : "<null>") << " " << (c.stamp ? c.stamp : "<null>") << " " << c.permanent;
    }
}

TEST(HostList, SortOrder) {
    struct Case {
        bool aPermanent;
        const char* a;
        bool bPermanent;
        const char* b;
        int sign;
    } const cases[] = {
        {true, "2000-01-01 00:00:00", false, "2007-01-01 00:00:00", -1},
        {false, "2007-01-01 00:00:00", true, "2000-01-01 00:00:00", 1},
        {false, "2007-01-02 00:00:00", false, "2007-01-01 00:00:00", -1},
        {true, "2007-01-01 00:00:00", true, "2007-01-02 00:00:00", 1},
        {false, "2007-01-01 00:00:00", false, "2007-01-01 00:00:00", 0},
        {false, "x", false, "X", 0},  // without regard to case
    };
    for (const Case& c : cases) {
        int result = CompareHostOrder(c.aPermanent, c.a, c.bPermanent, c.b);
        EXPECT_EQ(c.sign, (result > 0) - (result < 0)) << c.a << " / " << c.b;
    }
}

}  // namespace
