// A call from a blocked number, on the modem's side: the moment it counts as blocked, and the
// hang-up, which takes the line with one command and puts it down with a second one 1.5 s later
// (a modem given both at once may not have taken the line yet, and the call would ring on).
#pragma once
#include <cstdint>

#include "modem/caller_id.h"

inline constexpr uint32_t kHangUpPauseMs = 1500;
inline constexpr char kDefaultHangUpCommand[] = "ATH1";  // off hook: the line is taken
inline constexpr char kDefaultHangUpCommand2[] = "ATH0";  // on hook: the caller is gone

// True while the call has a number that has not yet been held against the block list: the port
// monitor then watches the modem closely, so that the check comes as soon as it is due.
bool BlockCheckPending(const CallCycle& cycle);

// True once for each number a call comes to have, as soon as the number can be held against the
// block list: the report that brought it is over, because a RING came behind it, it was a whole
// MESG report, or none of its lines came for kReportQuietMs (a report still coming may yet replace
// its number: a DDN number by the NMBR line); and at the latest when the call is complete (its
// second ring). That is normally in the pause between the first and the second ring. A call
// already announced, or blocked, is never checked again.
bool BlockCheckDue(CallCycle* cycle, uint32_t now);

// The pause between the two hang-up commands. The port monitor's reads go on during it; none of
// them waits past its end.
struct HangUpPause {
    bool running;
    uint32_t since;  // when the modem took the first command
};

void StartHangUpPause(HangUpPause* pause, uint32_t now);
// True once, when kHangUpPauseMs have passed since the start: send the second command now.
bool HangUpPauseOver(HangUpPause* pause, uint32_t now);
// waitMs, cut to what is left of a running pause.
uint32_t WaitWithinHangUpPause(const HangUpPause& pause, uint32_t now, uint32_t waitMs);
