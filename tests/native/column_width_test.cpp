#include "ui/column_width.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct WidthCase {
    int clientWidth;
    int scrollBarWidth;
    int percent;
    int width;
};

TEST(ListColumnWidth, ShareOfTheWidthLeftBesideTheScrollBar) {
    const WidthCase cases[] = {
        // 404 - 16 - 2 = 386 usable pixels
        {404, 16, 40, 154},  // 154.4
        {404, 16, 25, 96},   // 96.5: fractions are dropped, not rounded
        {404, 16, 35, 135},  // 135.1
        {404, 16, 100, 386},
        {404, 16, 0, 0},
        {404, 17, 50, 192},  // another system's scroll bar: 385 / 2
        {118, 16, 100, 100},
        {18, 16, 100, 0},     // nothing left beside the scroll bar
        {10, 16, 40, 0},      // narrower than the scroll bar: no negative width
        {404, 16, -10, 0},
        {0, 0, 50, 0},
        {INT_MAX, 0, 100, INT_MAX - 2},  // no overflow on the way
        {INT_MAX, 0, 1000, INT_MAX},
    };
    for (const WidthCase& c : cases) {
        EXPECT_EQ(c.width, ListColumnWidth(c.clientWidth, c.scrollBarWidth, c.percent))
            << c.clientWidth << " px, scroll bar " << c.scrollBarWidth << " px, " << c.percent << " %";
    }
}

TEST(ListColumnWidth, ColumnsOfAHundredPercentNeverOverflowTheList) {
    const int shares[] = {40, 25, 35};
    for (int client = 0; client <= 2000; ++client) {
        int total = 0;
        for (int percent : shares) total += ListColumnWidth(client, 16, percent);
        EXPECT_LE(total, client > 18 ? client - 18 : 0) << client << " px";
    }
}

}  // namespace
