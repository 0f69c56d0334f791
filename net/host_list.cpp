#include "net/host_list.h"

#include <cstdio>
#include <cstring>

#include "base/compare_text.h"

namespace {

// The range the system's own conversion to file times accepts; anything outside it is no
// moment, and its age is unknown rather than huge.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;
// Digit runs are cut off here: no field is that large, and the count must not overflow.
constexpr int kFieldCeiling = 1000000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsRealMoment(const DateTime& t) {
    if (t.year < kFirstYear || t.year > kLastYear || t.month < 1 || t.month > 12) return false;
    if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return false;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

// Days from 1970-01-01 in the proleptic Gregorian calendar (Howard Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t SecondsOf(const DateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

// A run of zero or more digits; an empty run reads as 0, as the stamp reader always did.
const char* ReadNumber(const char* at, int* value) {
    int number = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (number < kFieldCeiling) number = number * 10 + (*at - '0');
    }
    *value = number;
    return at;
}

// Reads the fields with one sticky failure: every separator is checked, the result once.
bool ReadTimestamp(const char* text, DateTime* stamp) {
    int* fields[] = {&stamp->year, &stamp->month, &stamp->day, &stamp->hour, &stamp->minute, &stamp->second};
    static constexpr char kAfter[] = {'-', '-', ' ', ':', ':', '\0'};
    const char* at = text;
    bool ok = true;
    for (int i = 0; i < 6 && ok; ++i) {
        at = ReadNumber(at, fields[i]);
        ok = *at == kAfter[i];
        if (ok && kAfter[i] != '\0') ++at;
    }
    return ok;
}

bool Append(HostTextWriter* writer, const char* const* parts, int count, size_t terminatorBytes) {
    if (writer == nullptr || writer->text == nullptr || writer->used > kHostBlockFill) return false;
    size_t need = terminatorBytes;
    for (int i = 0; i < count; ++i) need += strlen(parts[i]);
    if (writer->used + need + 1 > writer->size) return false;  // a row goes in whole or not at all
    for (int i = 0; i < count; ++i) {
        size_t length = strlen(parts[i]);
        memcpy(writer->text + writer->used, parts[i], length);
        writer->used += length;
    }
    return true;
}

}  // namespace

bool NextStoredHost(char** cursor, StoredHost* entry) {
    if (cursor == nullptr || *cursor == nullptr || entry == nullptr) return false;
    char* text = *cursor;
    if (*text == '\0' || *text == ';') return false;
    size_t length = strcspn(text, ";");
    *cursor = text[length] == ';' ? text + length + 1 : text + length;
    text[length] = '\0';
    entry->permanent = *text == '+';
    if (entry->permanent) ++text;
    char* slash = strchr(text, '/');
    if (slash != nullptr) *slash = '\0';
    entry->host = text;
    entry->timestamp = slash != nullptr ? slash + 1 : nullptr;
    return true;
}

bool AppendStoredHost(HostTextWriter* writer, const char* host, const char* timestamp, bool permanent) {
    if (host == nullptr || timestamp == nullptr || host[0] == '\0' || timestamp[0] == '\0') return false;
    const char* parts[] = {permanent ? "+" : "", host, "/", timestamp, ";"};
    bool written = Append(writer, parts, 5, 0);
    if (written) writer->text[writer->used] = '\0';
    return written;
}

bool AppendTargetHost(HostTextWriter* writer, const char* host) {
    if (host == nullptr || host[0] == '\0') return false;
    const char* parts[] = {host};
    // The NUL ending the host, and room for the empty text that ends the list.
    if (!Append(writer, parts, 1, 1)) return false;
    writer->text[writer->used++] = '\0';
    writer->text[writer->used] = '\0';
    return true;
}

char* FormatTimestamp(const DateTime& now, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return buffer;
    snprintf(buffer, size, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour, now.minute,
             now.second);
    return buffer;
}

int64_t TimestampAge(const char* timestamp, const DateTime& now) {
    if (timestamp == nullptr) return -1;
    DateTime stamp{};
    if (!ReadTimestamp(timestamp, &stamp) || !IsRealMoment(stamp) || !IsRealMoment(now)) return -1;
    return SecondsOf(now) - SecondsOf(stamp);
}

bool IsTargetHost(const char* host, const char* timestamp, bool permanent, const DateTime& now) {
    if (host == nullptr || host[0] == '\0') return false;
    if (permanent) return true;
    int64_t age = TimestampAge(timestamp, now);
    return age >= 0 && age < kHostLifetimeSeconds;
}

int CompareHostOrder(bool aPermanent, const char* aTimestamp, bool bPermanent, const char* bTimestamp) {
    if (aPermanent != bPermanent) return aPermanent ? -1 : 1;
    const char* a = aTimestamp != nullptr ? aTimestamp : "";
    const char* b = bTimestamp != nullptr ? bTimestamp : "";
    return CompareTextNoCase(b, static_cast<int>(strlen(b)), a, static_cast<int>(strlen(a)));
}
