// What a modem says between rings, turned into calls: its lines are cut out of what arrives, the
// name, number and ring lines fill the port's call record, the call is complete at the second ring
// with a number, and the cycle ends 12 s after the modem fell silent, or as soon as the report of
// the next caller arrives behind an announced call.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/call_record.h"

inline constexpr size_t kCallerIdLineSize = 256;   // a line of at most 255 characters
inline constexpr size_t kCallerIdReadSize = 512;   // one read step
inline constexpr uint32_t kCallEndSilenceMs = 12000;
// A report this soon behind a RING was sent in the pause after that ring: the ring is its call's
// first. A ring cycle lasts 6 s, so the ring before it belongs to another call.
inline constexpr uint32_t kRingBeforeReportMs = 5000;
// A report whose lines have stopped this long is complete: a modem sends its lines back to back.
inline constexpr uint32_t kReportQuietMs = 300;

// The call being received on one port; owned by its port monitor thread.
struct CallCycle {
    CallRecord call;
    uint32_t rings;          // RING lines in this cycle
    uint32_t lastDataTick;   // when bytes last came; 0 before the first
    uint32_t lastRingTick;   // when the last RING line came
    bool ringLast;           // the last ring or report line was a RING: the report before it is over
    bool numberFromDdn;      // the number came from a DDN_NMBR or NBR line: an NMBR or NUMBER line replaces it
    uint32_t lastReportTick; // when the last line of the caller's report came
    bool reportOpen;         // announcing early: a report line came, and the report may not be over
    bool reportWhole;        // the last report line was a whole MESG report: nothing more of it comes
    char checkedNumber[kCallTextSize];  // the number last held against the block list (BlockCheckDue)
    bool blocked;            // the number is blocked: its rings and the call itself go nowhere
    bool hangUpWanted;       // blocked, and the modem not yet told to take the line and hang up
};

enum class CallerIdLineKind {
    Other,   // command replies, result codes, anything else: logged only
    Report,  // a line of the caller's report: DATE, TIME, NAME, NMBR, NUMBER, DDN_NMBR, NBR, a MESG report
    Ring,
};

// What kind of line the modem sent, by its keyword at the start (any case).
CallerIdLineKind ClassifyCallerIdLine(const char* line);

// Cuts the next line out of a read step's text (size bytes), from *at on: leading blanks skipped,
// then up to a NUL, CR or LF, at most 255 characters. A line longer than that goes on as the next line, so no
// character is lost. False when the text holds no further line.
bool NextCallerIdLine(const char* text, size_t size, size_t* at, char* line, size_t lineSize);

struct LineOutcome {
    bool finished;  // the line began the next caller's call: the announced one before it is over
    bool ring;      // a RING line: hand the ring on (DispatchRing, CMD_RING)
    bool complete;  // the call is complete now: look the number up, dispatch, mark it announced
    bool badReport; // a MESG caller-ID report whose digits, lengths or checksum are wrong: it gave nothing
};

// Interprets one line that came at now: "NAME", "NMBR", "NUMBER" and "RING" (any case) at the
// start, the value behind the keyword's separators cut to 15 characters. "DDN_NMBR" and "NBR",
// which some networks send instead, give the number when no NMBR or NUMBER line does. "MESG"
// carries the line's own caller-ID message as hex digits; a report read from it fills the name
// and the number as those lines would. A report line behind an
// announced call whose report is over (a RING came since) starts the next call: a caller who
// tries again within seconds is still shown. That call counts the RING just before its report
// as its first (the usual order: ring, report, ring); a report that came first starts at 0.
// With withoutCallerId a cycle that reaches its second ring without a number is a call as well,
// of the number "-" (kNoCallerIdNumber): someone called, and the line did not say who.
// With announceEarly a call is complete as soon as its report is: at once for a MESG report, else
// when ReportCompleteAfterQuiet says so; its second ring then announces nothing more.
LineOutcome InterpretCallerIdLine(CallCycle* cycle, const char* line, uint32_t now, bool withoutCallerId = false,
                                  bool announceEarly = false);

// Announcing early: true once when the report of a call not yet announced, with a number, has had
// no further line for kReportQuietMs.
bool ReportCompleteAfterQuiet(CallCycle* cycle, uint32_t now);

// True once when a cycle ends: more than 12 s since the last bytes, and a name, a number or a ring
// was seen (a ring without caller ID must end too, or its count would spill into the next call).
// The cycle is then zeroed.
bool EndCallCycleIfSilent(CallCycle* cycle, uint32_t now);
