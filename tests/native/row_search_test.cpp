#include "ui/row_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Type-to-find in lists whose rows live in a model.
TEST(RowSearch, TypedLettersFindARow) {
    const std::vector<std::string> texts = {"alpha", "Bravo", "beta", "", "BETA", "gamma"};
    struct Case { int start; const char* prefix; bool whole, wrap; int row; } const cases[] = {
        {2, "b", false, true, 2},          // from the start row on, without regard to case
        {5, "b", false, true, 1},          // wrapping to the top, and only then
        {3, "beta", true, true, 4},        // the whole text
        {0, "alphabet", false, true, -1},  // longer than the text
        {-1, "g", false, false, 5},        // below 0: from the top
        {6, "a", false, true, 0},          // one beyond the rows: the end
        {6, "a", false, false, -1},
    };
    for (const Case& c : cases) {
        // at() throws for a row past the end, which fails the test.
        int row = FindListRow(texts.size(), c.start, c.prefix, c.whole, c.wrap,
                              [&](size_t at) { return texts.at(at).c_str(); });
        EXPECT_EQ(c.row, row) << c.start << " " << c.prefix;
    }
    EXPECT_EQ(-1, FindListRow(0, 0, "a", false, true, [](size_t) { return "a"; }));
}
