#include "present/caller_log_format.h"

#include <cstdio>

#include "base/text_utils.h"

namespace {

bool AtLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Copies a field up to the line end (and, unless it is the name, a blank), at most size - 1
// characters.
size_t ReadField(const CallerLogCursor& cursor, size_t at, char* out, size_t size, bool toLineEnd) {
    size_t length = 0;
    while (at < cursor.size && length + 1 < size && (toLineEnd || cursor.text[at] != ' ') &&
           !AtLineEnd(cursor.text[at])) {
        out[length++] = cursor.text[at++];
    }
    out[length] = '\0';
    return at;
}

// A field must be followed by one blank or more; returns where the next field starts, or 0.
size_t SkipSeparator(const CallerLogCursor& cursor, size_t at) {
    if (at >= cursor.size || cursor.text[at] != ' ') return 0;
    while (at < cursor.size && cursor.text[at] == ' ') ++at;
    return at;
}

}  // namespace

bool NextCallerLogRecord(CallerLogCursor* cursor, CallerLogRecord* record, bool* row) {
    *row = false;
    while (cursor->at < cursor->size && (IsBlank(cursor->text[cursor->at]) || cursor->text[cursor->at] == '\0')) {
        ++cursor->at;
    }
    if (cursor->at >= cursor->size) return false;
    size_t at = cursor->at;
    char* fields[] = {record->date, record->time, record->number};
    size_t read = 0;  // fields read, each with the blanks behind it
    for (; read < 3; ++read) {
        at = ReadField(*cursor, at, fields[read], kLogFieldSize, false);
        size_t next = SkipSeparator(*cursor, at);
        if (next == 0) break;
        at = next;
    }
    if (read == 3) {
        at = ReadField(*cursor, at, record->name, kLogNameSize, true);
        *row = true;
    }
    // Behind a field cut at its limit the rest of the line is read as a record of its own.
    while (at < cursor->size && (cursor->text[at] == '\r' || cursor->text[at] == '\n')) ++at;
    cursor->at = at > cursor->at ? at : cursor->at + 1;
    return true;
}

size_t FormatCallerLogLine(char* out, size_t outSize, const char* date, const char* time, const char* number,
                           const char* name) {
    if (out == nullptr || outSize == 0) return 0;
    int written = std::snprintf(out, outSize, "%s %s %s %s\r\n", date, time, number, name);
    if (written < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(written) < outSize ? static_cast<size_t>(written) : outSize - 1;
}

bool MakeSavedCallerLogLine(const char* date, const char* time, const char* number, const char* name, char* out,
                            size_t outSize) {
    const char* fields[] = {date, time, number};
    char clean[3][kLogFieldSize];
    for (size_t i = 0; i < 3; ++i) {
        CopyText(clean[i], kLogFieldSize, fields[i]);
        StripBlanks(clean[i]);
        if (clean[i][0] == '\0') return false;
    }
    char cleanName[kLogNameSize];
    CopyText(cleanName, sizeof cleanName, name);
    CollapseBlanks(cleanName);
    FormatCallerLogLine(out, outSize, clean[0], clean[1], clean[2], cleanName);
    return true;
}

void FormatLogDate(char* out, size_t outSize, int year, int month, int day) {
    std::snprintf(out, outSize, "%04d-%02d-%02d", year, month, day);
}

void FormatLogTime(char* out, size_t outSize, int hour, int minute, int second) {
    std::snprintf(out, outSize, "%02d:%02d:%02d", hour, minute, second);
}
