// The host list's rules, apart from the list control that holds it: the stored form of "hosts",
// time stamps and their age, which rows receive calls, and the order the page shows them in.
// "Now" is always an argument, so the rules are tested without a clock.
#pragma once
#include <cstddef>
#include <cstdint>

// A local date and time as the system clock gives it, fields as written (month 1 to 12).
struct DateTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

inline constexpr size_t kHostTextSize = 256;       // host column as read back, with its NUL
inline constexpr size_t kTimestampSize = 128;      // time stamp column as read back
inline constexpr size_t kHostBlockSize = 16384;    // stored text and target list are built in this
// No row is added to a stored text or a target list that is already longer than this, nor a
// row that would not fit in the block whole: the text always ends inside the block.
inline constexpr size_t kHostBlockFill = 16320;
// A discovered host stops receiving calls this many seconds after its last reply; the
// broadcasting computer announces itself every 60 s, so five missed answers drop it.
inline constexpr int64_t kHostLifetimeSeconds = 300;

// One entry of the stored form, pointing into the text it was split from.
struct StoredHost {
    const char* host;       // may be empty ("+" alone)
    const char* timestamp;  // nullptr when the entry had no "/"
    bool permanent;
};

// Splits the next entry off the stored text at *cursor, in place: the ";" ending it and the
// first "/" in it become NULs. False at the end of the text or at an empty entry, which ends
// the list as well. A time stamp is taken as it stands, readable or not: it is written back
// unchanged.
bool NextStoredHost(char** cursor, StoredHost* entry);

// The stored text being built, row after row, in a buffer of size bytes.
struct HostTextWriter {
    char* text;
    size_t size;
    size_t used;
};

// Appends "+host/stamp;" ("+" only for a permanent row). Rows without a host or a time stamp
// are left out (an empty row the user never filled), as is every row once the text is longer
// than kHostBlockFill or when the row would not fit whole. True when the row was written.
bool AppendStoredHost(HostTextWriter* writer, const char* host, const char* timestamp, bool permanent);
// Appends host and its NUL to a multi-string (the writer's buffer must start zero-filled, so
// the list always ends with an empty text); same limits as above. True when written.
bool AppendTargetHost(HostTextWriter* writer, const char* host);

// "YYYY-MM-DD hh:mm:ss" into buffer (cut to fit, always terminated); returns buffer.
char* FormatTimestamp(const DateTime& now, char* buffer, size_t size);
// Whole seconds from the time stamp to now; negative for a stamp in the future. -1 for a text
// that is not a time stamp or names no real moment (month 13, 31 April, hour 24).
int64_t TimestampAge(const char* timestamp, const DateTime& now);

// Whether a row receives calls: it names a host, and is permanent or has replied (or been
// edited) within the last 300 seconds.
bool IsTargetHost(const char* host, const char* timestamp, bool permanent, const DateTime& now);

// The page's order: permanent rows first, then the rest, each newest first. The time stamp
// format makes text order time order. Below, at or above 0 as for a sort.
int CompareHostOrder(bool aPermanent, const char* aTimestamp, bool bPermanent, const char* bTimestamp);
