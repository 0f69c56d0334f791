// The tray icon's blinking while a call rings: 60 steps of 250 ms (15 s), the second ring icon
// for nine steps and the first for the tenth, then the normal icon again. A ring restarts the
// step timer but keeps the count, so further rings of the same call do not lengthen a series;
// the first ring after a series has ended starts a new one.
#pragma once
#include <cstdint>

inline constexpr uint32_t kBlinkStepMs = 250;
inline constexpr uint32_t kBlinkSteps = 60;

struct BlinkSeries {
    uint32_t counter;   // steps of the current series; 0 between series
    bool timerRunning;  // the 250 ms step timer is set
};

// A ring: the caller (re)starts its timer.
void StartBlink(BlinkSeries* series);

struct BlinkStep {
    int icon;       // tray icon to show now
    bool finished;  // the series is over: kill the timer
};

// One timer step.
BlinkStep AdvanceBlink(BlinkSeries* series);
