#include "modem/caller_id.h"

#include <cstring>

#include "base/compare_text.h"
#include "base/text_utils.h"
#include "modem/caller_id_message.h"

namespace {

// The first position behind a run of blanks, "=", ":" and "-".
const char* SkipSeparators(const char* at) { return at + strspn(at, " \t\r\n=:-"); }

// The keyword at the start of text, any case; the comparison never reads past the text's end.
bool StartsWithKeyword(const char* text, const char* keyword) {
    size_t length = std::strlen(keyword);
    if (strnlen(text, length) < length) return false;
    return CompareTextNoCase(text, static_cast<int>(length), keyword, static_cast<int>(length)) == 0;
}

// The value behind the keyword: what the cursor then points at. A noisy line leaves stray control
// bytes in it, which must not reach the popup or the caller log as they are.
const char* TakeValue(const char* cursor, size_t keywordLength, char* field) {
    cursor = SkipSeparators(cursor + keywordLength);
    CopyText(field, kCallTextSize, cursor);
    ReplaceControlChars(field);
    return cursor;
}

// A number line. A DDN number stands in only until the call's own NMBR or NUMBER line comes.
const char* TakeNumber(CallCycle* cycle, const char* cursor, size_t keywordLength, bool ddn) {
    if (ddn && cycle->call.number[0] != '\0' && !cycle->numberFromDdn) return SkipSeparators(cursor + keywordLength);
    cycle->numberFromDdn = ddn;
    return TakeValue(cursor, keywordLength, cycle->call.number);
}

// False for a report that was broken on the way.
bool TakeMessage(CallCycle* cycle, const char* hex) {
    CallerIdMessage message;
    CallerIdMessageResult result = DecodeCallerIdMessage(hex, &message);
    if (result != CallerIdMessageResult::Report) return result == CallerIdMessageResult::NotReport;
    if (message.number[0] != '\0') {
        CopyText(cycle->call.number, sizeof cycle->call.number, message.number);
        cycle->numberFromDdn = false;
    }
    if (message.name[0] != '\0') CopyText(cycle->call.name, sizeof cycle->call.name, message.name);
    return true;
}

}  // namespace

bool NextCallerIdLine(const char* text, size_t size, size_t* at, char* line, size_t lineSize) {
    if (lineSize == 0) return false;
    size_t pos = *at;
    // A NUL from the modem ends a line like CR or LF; what follows it in the step is still read.
    while (pos < size && (IsBlank(text[pos]) || text[pos] == '\0')) ++pos;
    if (pos >= size) {
        *at = pos;
        return false;
    }
    size_t length = 0;
    while (pos < size && length + 1 < lineSize && text[pos] != '\0' && text[pos] != '\r' && text[pos] != '\n') {
        line[length++] = text[pos++];
    }
    line[length] = '\0';
    if (pos < size && (text[pos] == '\r' || text[pos] == '\n' || text[pos] == '\0')) ++pos;  // a cut line goes on
    *at = pos;
    return true;
}

CallerIdLineKind ClassifyCallerIdLine(const char* line) {
    static constexpr const char* kReportKeywords[] = {"date", "time", "name", "nmbr", "number", "ddn_nmbr", "nbr"};
    if (StartsWithKeyword(line, "ring")) return CallerIdLineKind::Ring;
    if (StartsWithKeyword(line, "mesg")) {
        // A message-waiting signal comes whenever it likes: only a caller-ID report is the caller's.
        CallerIdMessage message;
        bool report = DecodeCallerIdMessage(SkipSeparators(line + 4), &message) != CallerIdMessageResult::NotReport;
        return report ? CallerIdLineKind::Report : CallerIdLineKind::Other;
    }
    for (const char* keyword : kReportKeywords) {
        if (StartsWithKeyword(line, keyword)) return CallerIdLineKind::Report;
    }
    return CallerIdLineKind::Other;
}

LineOutcome InterpretCallerIdLine(CallCycle* cycle, const char* line, uint32_t now, bool withoutCallerId,
                                  bool announceEarly) {
    LineOutcome outcome{};
    CallerIdLineKind kind = ClassifyCallerIdLine(line);
    if (kind == CallerIdLineKind::Report) {
        if (cycle->call.announced != 0 && cycle->ringLast) {
            bool ringIsItsOwn = TicksSince(cycle->lastRingTick, now) <= kRingBeforeReportMs;
            uint32_t lastData = cycle->lastDataTick;
            *cycle = CallCycle{};
            cycle->lastDataTick = lastData;
            cycle->rings = ringIsItsOwn ? 1 : 0;
            outcome.finished = true;
        }
        cycle->ringLast = false;
        cycle->reportWhole = false;
        cycle->lastReportTick = now;
        cycle->reportOpen = announceEarly;
    } else if (kind == CallerIdLineKind::Ring) {
        cycle->ringLast = true;
        cycle->lastRingTick = now;
    }
    // Each keyword test looks at what the previous recognised keyword left at the cursor.
    const char* cursor = line;
    if (StartsWithKeyword(cursor, "name")) cursor = TakeValue(cursor, 4, cycle->call.name);
    if (StartsWithKeyword(cursor, "nmbr")) cursor = TakeNumber(cycle, cursor, 4, false);
    if (StartsWithKeyword(cursor, "number")) cursor = TakeNumber(cycle, cursor, 6, false);
    if (StartsWithKeyword(cursor, "ddn_nmbr")) cursor = TakeNumber(cycle, cursor, 8, true);
    if (StartsWithKeyword(cursor, "nbr")) cursor = TakeNumber(cycle, cursor, 3, true);
    bool message = StartsWithKeyword(cursor, "mesg");
    if (message) {
        outcome.badReport = !TakeMessage(cycle, SkipSeparators(cursor + 4));
        cycle->reportWhole = !outcome.badReport && kind == CallerIdLineKind::Report;
    }
    if (StartsWithKeyword(cursor, "ring")) {
        cycle->rings += 1;
        outcome.ring = true;
        if (withoutCallerId && cycle->rings == 2 && cycle->call.number[0] == '\0' && cycle->call.announced == 0) {
            CopyText(cycle->call.number, sizeof cycle->call.number, kNoCallerIdNumber);
        }
    }
    // A MESG report is whole when it is read: its checksum says so.
    bool reportDone = announceEarly && message && !outcome.badReport && kind == CallerIdLineKind::Report;
    if (reportDone) cycle->reportOpen = false;
    outcome.complete = (cycle->rings == 2 || reportDone) && cycle->call.announced == 0 && cycle->call.number[0] != '\0';
    return outcome;
}

bool ReportCompleteAfterQuiet(CallCycle* cycle, uint32_t now) {
    if (!cycle->reportOpen || TicksSince(cycle->lastReportTick, now) < kReportQuietMs) return false;
    cycle->reportOpen = false;
    return cycle->call.announced == 0 && cycle->call.number[0] != '\0';
}

bool EndCallCycleIfSilent(CallCycle* cycle, uint32_t now) {
    if (TicksSince(cycle->lastDataTick, now) <= kCallEndSilenceMs) return false;
    if (cycle->call.name[0] == '\0' && cycle->call.number[0] == '\0' && cycle->rings == 0) return false;
    uint32_t lastData = cycle->lastDataTick;
    *cycle = CallCycle{};
    cycle->lastDataTick = lastData;
    return true;
}
