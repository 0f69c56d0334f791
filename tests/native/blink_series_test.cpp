#include "app/blink_series.h"

#include <gtest/gtest.h>

#include <vector>

#include "res/resource_ids.h"

namespace {

// Plays rings at the given times through a 250 ms timer that each ring restarts, as the main
// window does, and returns the times (ms) at which a series ended.
std::vector<uint32_t> SeriesEnds(const std::vector<uint32_t>& rings, uint32_t until) {
    BlinkSeries series{};
    std::vector<uint32_t> ends;
    size_t nextRing = 0;
    uint32_t nextTick = 0;
    for (uint32_t now = 0; now <= until; ++now) {
        if (nextRing < rings.size() && rings[nextRing] == now) {
            StartBlink(&series);
            nextTick = now + kBlinkStepMs;
            ++nextRing;
        }
        if (series.timerRunning && now == nextTick) {
            if (AdvanceBlink(&series).finished) ends.push_back(now);
            nextTick = now + kBlinkStepMs;
        }
    }
    return ends;
}

TEST(BlinkSeries, IconsOfOneSeries) {
    BlinkSeries series{};
    StartBlink(&series);
    std::vector<int> icons;
    for (;;) {
        BlinkStep step = AdvanceBlink(&series);
        icons.push_back(step.icon);
        if (step.finished) break;
    }
    ASSERT_EQ(60u, icons.size());
    for (size_t i = 0; i < 59; ++i) EXPECT_EQ((i + 1) % 10 == 0 ? IDI_RING_A : IDI_RING_B, icons[i]) << i;
    EXPECT_EQ(IDI_NORMAL, icons[59]);
    EXPECT_EQ(0u, series.counter);
    EXPECT_FALSE(series.timerRunning);
}

TEST(BlinkSeries, RingsInsideASeriesDoNotLengthenIt) {
    EXPECT_EQ(std::vector<uint32_t>{15000}, SeriesEnds({0}, 60000));
    // The second ring only shifts the steps' phase (the step in progress starts again): 15.1 s, not 21.
    EXPECT_EQ(std::vector<uint32_t>{15100}, SeriesEnds({0, 6100}, 60000));
    EXPECT_EQ(std::vector<uint32_t>({15100, 35000}), SeriesEnds({0, 6100, 20000}, 60000));  // a new call
}

}  // namespace
