// The caller log file: one call per line, "date time number name", the name running to the end of
// the line. Reading is forgiving (several blanks between fields, blank lines); writing is exact.
#pragma once
#include <cstddef>

inline constexpr size_t kLogFieldSize = 64;  // date, time, number: at most 63 characters
inline constexpr size_t kLogNameSize = 262;  // the name: at most 261 characters
inline constexpr size_t kLogLineSize = 3 * kLogFieldSize + kLogNameSize + 8;

struct CallerLogRecord {
    char date[kLogFieldSize];
    char time[kLogFieldSize];
    char number[kLogFieldSize];
    char name[kLogNameSize];
};

struct CallerLogCursor {
    const char* text;
    size_t size;
    size_t at;
};

// Reads the next line; false when the text is used up. *row tells whether the line gave a row: a
// line that ends (or lacks a blank) before the name field gives none. Fields are separated by
// blanks only, not tabs. A NUL byte in the file ends a line, not the whole file.
bool NextCallerLogRecord(CallerLogCursor* cursor, CallerLogRecord* record, bool* row);

// "%s %s %s %s\r\n" of the four fields, cut to the buffer. Returns the length.
size_t FormatCallerLogLine(char* out, size_t outSize, const char* date, const char* time, const char* number,
                           const char* name);

// The line a full rewrite writes for one row of the caller log: date, time and the number as it
// was received, without blanks (as it was appended), the name with its blanks folded. False: the
// row is not written (date, time or number empty).
bool MakeSavedCallerLogLine(const char* date, const char* time, const char* number, const char* name, char* out,
                            size_t outSize);

// "%04d-%02d-%02d" and "%02d:%02d:%02d".
void FormatLogDate(char* out, size_t outSize, int year, int month, int day);
void FormatLogTime(char* out, size_t outSize, int hour, int minute, int second);
