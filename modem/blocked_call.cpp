#include "modem/blocked_call.h"

#include <cstring>

#include "base/text_utils.h"

bool BlockCheckPending(const CallCycle& cycle) {
    return cycle.call.announced == 0 && !cycle.blocked && cycle.call.number[0] != '\0' &&
           strncmp(cycle.call.number, cycle.checkedNumber, sizeof cycle.checkedNumber) != 0;
}

bool BlockCheckDue(CallCycle* cycle, uint32_t now) {
    if (!BlockCheckPending(*cycle)) return false;
    bool reportOver = cycle->ringLast || cycle->reportWhole || TicksSince(cycle->lastReportTick, now) >= kReportQuietMs;
    if (!reportOver && cycle->rings < 2) return false;
    CopyText(cycle->checkedNumber, sizeof cycle->checkedNumber, cycle->call.number);
    return true;
}

void StartHangUpPause(HangUpPause* pause, uint32_t now) { *pause = HangUpPause{true, now}; }

bool HangUpPauseOver(HangUpPause* pause, uint32_t now) {
    if (!pause->running || TicksSince(pause->since, now) < kHangUpPauseMs) return false;
    pause->running = false;
    return true;
}

uint32_t WaitWithinHangUpPause(const HangUpPause& pause, uint32_t now, uint32_t waitMs) {
    if (!pause.running) return waitMs;
    uint32_t passed = TicksSince(pause.since, now);
    uint32_t left = passed < kHangUpPauseMs ? kHangUpPauseMs - passed : 0;
    return left < waitMs ? left : waitMs;
}
