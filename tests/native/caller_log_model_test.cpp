#include "present/caller_log_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Numbers(const CallerLogModel& model) {
    std::vector<std::string> numbers;
    for (size_t row = 0; row < model.rows.size(); ++row) numbers.push_back(CallerLogModelRow(model, row).number);
    return numbers;
}

TEST(CallerLogModel, RowsKeepTheirTextsAsReceived) {
    CallerLogModel model;
    AddCallerLogModelRow(&model, "2026-12-06", "20:00:00", "0301234567", "Some  Body");
    AddCallerLogModelRow(&model, "2026-12-06", "20:00:09", "P", "");
    CallerLogCells first = CallerLogModelRow(model, 0);
    EXPECT_STREQ("2026-12-06", first.date);
    EXPECT_STREQ("20:00:00", first.time);
    EXPECT_STREQ("0301234567", first.number);
    EXPECT_STREQ("Some  Body", first.name);
    EXPECT_STREQ("", CallerLogModelRow(model, 1).name);
    EXPECT_STREQ("", CallerLogModelRow(model, 2).number);  // no such row
}

TEST(CallerLogModel, DeletingRows) {
    struct Case {
        std::vector<size_t> deleted;
        size_t gone;
        std::vector<std::string> left;
    } const cases[] = {
        {{1}, 1, {"0", "2", "3"}},
        {{3, 0, 0}, 2, {"1", "2"}},  // any order, repeats once
        {{}, 0, {"0", "1", "2", "3"}},
        {{7}, 0, {"0", "1", "2", "3"}},  // nothing there: nothing changes
        {{0, 1, 2, 3}, 4, {}},
    };
    for (const Case& c : cases) {
        CallerLogModel model;
        for (const char* number : {"0", "1", "2", "3"}) AddCallerLogModelRow(&model, "d", "t", number, "n");
        EXPECT_EQ(c.gone, DeleteCallerLogModelRows(&model, c.deleted));
        EXPECT_EQ(c.left, Numbers(model));
    }
}

}  // namespace

// Batches from the loader follow the rows already there, in order, whether or not there were any.
TEST(CallerLogModel, BatchesAppendInOrder) {
    CallerLogModel model;
    for (const char* batch : {"1 2", "3", "4 5"}) {
        CallerLogModel more;
        for (const char* at = batch; *at != '\0'; ++at) {
            const char number[2] = {*at, '\0'};
            if (*at != ' ') AddCallerLogModelRow(&more, "d", "t", number, "");
        }
        AppendCallerLogModel(&model, &more);
        EXPECT_TRUE(more.rows.empty());
    }
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4", "5"}), Numbers(model));
}
