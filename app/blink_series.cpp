#include "app/blink_series.h"

#include "res/resource_ids.h"

void StartBlink(BlinkSeries* series) { series->timerRunning = true; }

BlinkStep AdvanceBlink(BlinkSeries* series) {
    series->counter += 1;
    if (series->counter >= kBlinkSteps) {
        series->counter = 0;
        series->timerRunning = false;
        return {IDI_NORMAL, true};
    }
    return {series->counter % 10 == 0 ? IDI_RING_A : IDI_RING_B, false};
}
