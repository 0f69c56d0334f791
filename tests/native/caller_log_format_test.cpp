#include "present/caller_log_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Row {
    std::string date, time, number, name;
    bool operator==(const Row& other) const {
        return date == other.date && time == other.time && number == other.number && name == other.name;
    }
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "[" << row.date << "|" << row.time << "|" << row.number << "|" << row.name << "]";
}

std::vector<Row> Parse(const std::string& text) {
    std::vector<Row> rows;
    CallerLogCursor cursor{text.data(), text.size(), 0};
    CallerLogRecord record{};
    bool row = false;
    for (int guard = 0; NextCallerLogRecord(&cursor, &record, &row); ++guard) {
        if (guard > 100000) {
            ADD_FAILURE() << "no progress";
            break;
        }
        if (row) rows.push_back({record.date, record.time, record.number, record.name});
    }
    return rows;
}

TEST(CallerLogFormat, Grammar) {
    using Rows = std::vector<Row>;
    struct Case {
        std::string text;
        Rows rows;
    } const cases[] = {
        {"2007-01-06 12:00:00 5551234 John Q Public\r\n", Rows{{"2007-01-06", "12:00:00", "5551234", "John Q Public"}}},
        {"2007-01-06   12:00:00  5551234   Ann\r\n", Rows{{"2007-01-06", "12:00:00", "5551234", "Ann"}}},
        {"\r\n   2007-01-06 12:00:00 5551234 Ann\n", Rows{{"2007-01-06", "12:00:00", "5551234", "Ann"}}},
        {"2007-01-06 12:00:00 5551234 \r\n", Rows{{"2007-01-06", "12:00:00", "5551234", ""}}},  // no name
        {"2007-01-06 12:00:00 5551234\r\n", Rows{}},                 // ends right after the number
        {"2007-01-06\t12:00:00 5551234 Ann\r\n", Rows{}},            // a tab is no separator
        {"2007-01-06 12:00:00 P Withheld caller\r\n", Rows{{"2007-01-06", "12:00:00", "P", "Withheld caller"}}},
        {"a b c d\r\nbroken\r\ne f g h", Rows{{"a", "b", "c", "d"}, {"e", "f", "g", "h"}}},
        {"a b c d\rE F G H\n", Rows{{"a", "b", "c", "d"}, {"E", "F", "G", "H"}}},  // CR alone ends a line
        {std::string("a b c d\r\n\0\0e f g h\r\n", 21), Rows{{"a", "b", "c", "d"}, {"e", "f", "g", "h"}}},
        {"", Rows{}},
        {" \r\n\t\r\n", Rows{}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rows, Parse(c.text)) << c.text;
}

TEST(CallerLogFormat, FieldLimits) {
    std::string longField(70, '1');
    // The number stops at 63 characters; what follows it is read as a record of its own.
    std::vector<Row> rows = Parse("d t " + longField + " a b c\r\n");
    EXPECT_EQ((std::vector<Row>{{"1111111", "a", "b", "c"}}), rows);  // the 7 characters beyond start anew
    std::string longName(300, 'n');
    rows = Parse("d t 5 " + longName);
    ASSERT_GE(rows.size(), 1u);
    EXPECT_EQ(261u, rows[0].name.size());
}

TEST(CallerLogFormat, Writing) {
    char line[kLogLineSize];
    FormatCallerLogLine(line, sizeof line, "2007-01-06", "12:00:00", "5551234", "John Q Public");
    EXPECT_STREQ("2007-01-06 12:00:00 5551234 John Q Public\r\n", line);
    char date[16];
    char time[16];
    FormatLogDate(date, sizeof date, 2026, 12, 6);
    FormatLogTime(time, sizeof time, 9, 5, 7);
    EXPECT_STREQ("2026-12-06", date);
    EXPECT_STREQ("09:05:07", time);

    ASSERT_TRUE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", "555 1234", "  John   Q\tPublic ", line,
                                       sizeof line));
    EXPECT_STREQ("2007-01-06 12:00:00 5551234 John Q Public\r\n", line);
    ASSERT_TRUE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", "PRIVATE", "", line, sizeof line));
    EXPECT_STREQ("2007-01-06 12:00:00 PRIVATE \r\n", line);  // reads back as the same row
    EXPECT_FALSE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", "", "Ann", line, sizeof line));
    EXPECT_FALSE(MakeSavedCallerLogLine("", "12:00:00", "555", "Ann", line, sizeof line));

    char small[12];
    FormatCallerLogLine(small, sizeof small, "2007-01-06", "12:00:00", "5551234", "Ann");
    EXPECT_EQ(11u, std::string(small).size());
}

TEST(CallerLogFormat, SavedLinesReadBackAsTheyWere) {
    char line[kLogLineSize];
    // The number as it came, whatever a user's format would show: a leading 0 or + stays.
    for (const char* number : {"5551234", "0301234567", "+4930123456", "555-1234", "P", "O", "PRIVATE"}) {
        ASSERT_TRUE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", number, "Some Body", line, sizeof line));
        std::vector<Row> rows = Parse(line);
        ASSERT_EQ(1u, rows.size()) << number;
        EXPECT_EQ((Row{"2007-01-06", "12:00:00", number, "Some Body"}), rows[0]);
    }
}

}  // namespace
