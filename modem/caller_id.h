// What a modem says between rings, turned into calls: its lines are cut out of what arrives, the
// name, number and ring lines fill the port's call record, the call is complete at the second ring
// with a number, and the cycle ends 12 s after the modem fell silent.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/call_record.h"

inline constexpr size_t kCallerIdLineSize = 256;   // a line of at most 255 characters
inline constexpr size_t kCallerIdReadSize = 512;   // one read step
inline constexpr uint32_t kCallEndSilenceMs = 12000;

// The call being received on one port; owned by its port monitor thread.
struct CallCycle {
    CallRecord call;
    uint32_t rings;          // RING lines in this cycle
    uint32_t lastDataTick;   // when bytes last came; 0 before the first
};

// The first position behind a run of blanks, "=", ":" and "-".
const char* SkipSeparators(const char* at);

// Cuts the next line out of a read step's text (size bytes), from *at on: leading blanks skipped,
// then up to a NUL, CR or LF, at most 255 characters. A line longer than that goes on as the next line, so no
// character is lost. False when the text holds no further line.
bool NextCallerIdLine(const char* text, size_t size, size_t* at, char* line, size_t lineSize);

struct LineOutcome {
    bool ring;      // a RING line: hand the ring on (DispatchRing, CMD_RING)
    bool complete;  // the call is complete now: look the number up, dispatch, mark it announced
};

// Interprets one line: "NAME", "NMBR", "NUMBER" and "RING" (any case) at the start, the value
// behind the keyword's separators cut to 15 characters.
LineOutcome InterpretCallerIdLine(CallCycle* cycle, const char* line);

// True once when a cycle ends: more than 12 s since the last bytes, and a name, a number or a ring
// was seen (a ring without caller ID must end too, or its count would spill into the next call).
// The cycle is then zeroed.
bool EndCallCycleIfSilent(CallCycle* cycle, uint32_t now);
