// The caller log: the file's grammar, its lines as written, and the model behind the page's list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "present/caller_log_format.h"
#include "present/caller_log_model.h"

namespace {

using Rows = std::vector<std::string>;

// The rows read from text, each as "date|time|number|name".
Rows Parse(const std::string& text) {
    Rows rows;
    CallerLogCursor cursor{text.data(), text.size(), 0};
    CallerLogRecord r{};
    bool row = false;
    while (NextCallerLogRecord(&cursor, &r, &row)) {
        if (row) rows.push_back(std::string(r.date) + "|" + r.time + "|" + r.number + "|" + r.name);
    }
    return rows;
}

TEST(CallerLogFormat, Grammar) {
    const std::string longName(300, 'n');
    struct Case { std::string text; Rows rows; } const cases[] = {
        {"2007-01-06   12:00:00  5551234   John Q Public\r\n", {"2007-01-06|12:00:00|5551234|John Q Public"}},
        {"\r\n   2007-01-06 12:00:00 5551234 Ann\n", {"2007-01-06|12:00:00|5551234|Ann"}},
        {"2007-01-06 12:00:00 5551234 \r\n", {"2007-01-06|12:00:00|5551234|"}},  // no name
        {"2007-01-06 12:00:00 5551234\r\n", {}},                 // ends right after the number
        {"2007-01-06\t12:00:00 5551234 Ann\r\n", {}},            // a tab is no separator
        {"a b c d\r\nbroken\r\ne f g h", {"a|b|c|d", "e|f|g|h"}},
        {"a b c d\rE F G H\n", {"a|b|c|d", "E|F|G|H"}},  // CR alone ends a line
        {std::string("a b c d\r\n\0\0e f g h\r\n", 21), {"a|b|c|d", "e|f|g|h"}},
        // The number stops at 63 characters; what follows it is read as a record of its own.
        {"d t " + std::string(70, '1') + " a b c\r\n", {"1111111|a|b|c"}},
        {"d t 5 " + longName, {"d|t|5|" + longName.substr(0, 261)}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.rows, Parse(c.text)) << c.text.substr(0, 40);
}

TEST(CallerLogFormat, SavedLinesReadBackAsTheyCame) {
    char line[kLogLineSize];
    ASSERT_TRUE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", "555 1234", "  John   Q\tPublic ", line, sizeof line));
    EXPECT_STREQ("2007-01-06 12:00:00 5551234 John Q Public\r\n", line);
    EXPECT_FALSE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", "", "Ann", line, sizeof line));
    EXPECT_FALSE(MakeSavedCallerLogLine("", "12:00:00", "555", "Ann", line, sizeof line));
    // The number as it came, whatever a user's format would show: a leading 0 or + stays, and a
    // row without a name reads back as the same row.
    for (const char* number : {"0301234567", "+4930123456", "555-1234", "P", "PRIVATE"}) {
        for (const char* name : {"Some Body", ""}) {
            ASSERT_TRUE(MakeSavedCallerLogLine("2007-01-06", "12:00:00", number, name, line, sizeof line));
            EXPECT_EQ(Rows{"2007-01-06|12:00:00|" + std::string(number) + "|" + name}, Parse(line)) << line;
        }
    }
}

Rows Numbers(const CallerLogModel& model) {
    Rows numbers;
    for (size_t row = 0; row < model.rows.size(); ++row) numbers.push_back(CallerLogModelRow(model, row).number);
    return numbers;
}

// The list shows the model's texts; a rewrite of the file saves them, not what the screen shows.
TEST(CallerLogModel, RowsKeepTheirTextsAsReceived) {
    CallerLogModel model;
    AddCallerLogModelRow(&model, "2026-12-06", "20:00:00", "0301234567", "Some  Body");
    CallerLogCells cells = CallerLogModelRow(model, 0);
    EXPECT_EQ("2026-12-06|20:00:00|0301234567|Some  Body",
              std::string(cells.date) + "|" + cells.time + "|" + cells.number + "|" + cells.name);
    EXPECT_STREQ("", CallerLogModelRow(model, 1).number);  // no such row
}

TEST(CallerLogModel, DeletingAndAppending) {
    // Any order, repeats once; a Delete that removed nothing marks nothing.
    struct Case { std::vector<size_t> deleted; size_t gone; Rows left; } const cases[] = {
        {{3, 0, 0}, 2, {"1", "2"}}, {{7}, 0, {"0", "1", "2", "3"}}, {{}, 0, {"0", "1", "2", "3"}}};
    for (const Case& c : cases) {
        CallerLogModel model;
        for (const char* number : {"0", "1", "2", "3"}) AddCallerLogModelRow(&model, "d", "t", number, "n");
        EXPECT_EQ(c.gone, DeleteCallerLogModelRows(&model, c.deleted));
        EXPECT_EQ(c.left, Numbers(model));
    }
    // Batches from the loader follow the rows already there, in order, whether or not there were any.
    CallerLogModel model;
    for (const Rows& batch : {Rows{"1", "2"}, Rows{"3"}, Rows{"4", "5"}}) {
        CallerLogModel more;
        for (const std::string& number : batch) AddCallerLogModelRow(&more, "d", "t", number.c_str(), "");
        AppendCallerLogModel(&model, &more);
        EXPECT_TRUE(more.rows.empty());
    }
    EXPECT_EQ((Rows{"1", "2", "3", "4", "5"}), Numbers(model));
}

}  // namespace
