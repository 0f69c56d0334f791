#include "base/data_file_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(DataFileRule, OnlyAWholeListReplacesItsFile) {
    struct Case {
        DataFileState state;
        bool loadWhole;
        size_t rows;
        DataFileSave save;
    } const cases[] = {
        {DataFileState::Loaded, true, 3, DataFileSave::Rewrite},
        {DataFileState::Missing, true, 3, DataFileSave::Rewrite},    // a first start: the list makes the file
        {DataFileState::Loaded, true, 0, DataFileSave::Delete},      // every row deleted
        {DataFileState::Missing, true, 0, DataFileSave::Keep},       // a file the list never knew
        {DataFileState::Loaded, false, 3, DataFileSave::Keep},       // still loading, or cut short
        {DataFileState::Loaded, false, 0, DataFileSave::Keep},
        {DataFileState::Missing, false, 0, DataFileSave::Keep},      // the loader never got to read
        {DataFileState::Unreadable, true, 3, DataFileSave::Keep},    // held by another program at start
        {DataFileState::Unreadable, true, 0, DataFileSave::Keep},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.save, ChooseDataFileSave(c.state, c.loadWhole, c.rows))
            << static_cast<int>(c.state) << " " << c.loadWhole << " " << c.rows;
    }
}

}  // namespace
