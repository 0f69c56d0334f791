// The host list's stored form ("hosts") as the page loads it, each entry's time stamp aged
// against several clocks, and the rows written back as the page saves them: the saved text,
// split again, must give the same rows. The whole input is also read as one time stamp.
//
// Input: the stored text, read whole as the page does (a long value is read again whole).
#include <cstring>
#include <ctime>
#include <string>

#include "net/host_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// An ordinary moment, the first and the last the system can convert, and no moment at all.
constexpr DateTime kClocks[] = {
    {2007, 1, 6, 12, 30, 0},
    {1601, 1, 1, 0, 0, 0},
    {30827, 12, 31, 23, 59, 59},
    {2007, 2, 29, 0, 0, 0},
};

struct Row {
    std::string host;
    std::string timestamp;
    bool permanent;
};

void CheckAge(const char* timestamp) {
    // The time stamp column as read back: at most 127 characters.
    std::vector<char> cell = FixedText(timestamp, kTimestampSize);
    for (const DateTime& now : kClocks) {
        int64_t age = TimestampAge(cell.data(), now);
        if (age != -1) {
            // Whatever the text, a readable stamp lies between the first and last moments.
            FUZZ_CHECK(age > -(int64_t{30827 - 1601 + 1} * 366 * 86400) && age < int64_t{30827 - 1601 + 1} * 366 * 86400);
        }
        IsTargetHost("h", cell.data(), false, now);
    }
    // A stamp made from a clock is that clock's moment: age 0.
    std::vector<char> made(kTimestampSize, '\0');
    FormatTimestamp(kClocks[0], made.data(), made.size());
    FUZZ_CHECK(TimestampAge(made.data(), kClocks[0]) == 0);
}

// A moment from eight bytes of the input: any year the system converts, and fields a little
// past their ranges on both sides.
DateTime MomentOf(const uint8_t* bytes) {
    return {1601 + (bytes[0] | bytes[1] << 8) % (30827 - 1601 + 1), bytes[2] % 14, bytes[3] % 33,
            bytes[4] % 25, bytes[5] % 61, bytes[6] % 61};
}

// The C library's calendar, as a second opinion: seconds since 1970, or false for no moment.
bool LibcSeconds(const DateTime& t, int64_t* seconds) {
    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    std::time_t value = timegm(&fields);
    // timegm carries an out-of-range field into the next one; a real moment comes back as given.
    bool real = fields.tm_year == t.year - 1900 && fields.tm_mon == t.month - 1 && fields.tm_mday == t.day &&
                fields.tm_hour == t.hour && fields.tm_min == t.minute && fields.tm_sec == t.second;
    *seconds = static_cast<int64_t>(value);
    return real;
}

// A stamp written for one moment and aged at another: the C library's difference, or -1.
void CheckAgeAgainstLibc(const uint8_t* bytes) {
    DateTime stamp = MomentOf(bytes);
    DateTime now = MomentOf(bytes + 7);
    std::vector<char> text(kTimestampSize, '\0');
    FormatTimestamp(stamp, text.data(), text.size());
    int64_t stampSeconds = 0;
    int64_t nowSeconds = 0;
    bool stampReal = LibcSeconds(stamp, &stampSeconds);
    bool real = LibcSeconds(now, &nowSeconds) && stampReal;
    int64_t age = TimestampAge(text.data(), now);
    FUZZ_CHECK(real ? age == nowSeconds - stampSeconds : age == -1);
}

std::vector<Row> Load(std::vector<char>* text) {
    std::vector<Row> rows;
    char* cursor = text->data();
    StoredHost entry{};
    while (NextStoredHost(&cursor, &entry)) {
        FUZZ_CHECK(cursor >= text->data() && cursor < text->data() + text->size());
        FUZZ_CHECK(std::strchr(entry.host, ';') == nullptr && std::strchr(entry.host, '/') == nullptr);
        if (entry.timestamp != nullptr) FUZZ_CHECK(std::strchr(entry.timestamp, ';') == nullptr);
        rows.push_back(Row{entry.host, entry.timestamp != nullptr ? entry.timestamp : "", entry.permanent});
        FUZZ_CHECK(rows.size() <= text->size());
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> whole = TextOf(data, size);
    CheckAge(whole.data());
    if (size >= 14) CheckAgeAgainstLibc(data);

    std::vector<char> stored = TextOf(data, size);
    std::vector<Row> rows = Load(&stored);
    for (Row& row : rows) {
        // The cells as the page reads them back for saving.
        if (row.host.size() >= kHostTextSize) row.host.resize(kHostTextSize - 1);
        if (row.timestamp.size() >= kTimestampSize) row.timestamp.resize(kTimestampSize - 1);
    }

    // Saved as the page does, in its 16384-byte block; the target list built beside it.
    std::vector<char> block(kHostBlockSize, '\0');
    std::vector<char> targets(kHostBlockSize, '\0');
    HostTextWriter writer{block.data(), block.size(), 0};
    HostTextWriter targetWriter{targets.data(), targets.size(), 0};
    std::vector<Row> saved;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        CheckAge(row.timestamp.c_str());
        if (i > 0) {
            const Row& previous = rows[i - 1];
            int ab = CompareHostOrder(previous.permanent, previous.timestamp.c_str(), row.permanent, row.timestamp.c_str());
            int ba = CompareHostOrder(row.permanent, row.timestamp.c_str(), previous.permanent, previous.timestamp.c_str());
            FUZZ_CHECK((ab < 0) == (ba > 0) && (ab == 0) == (ba == 0));
        }
        size_t used = writer.used;
        if (AppendStoredHost(&writer, row.host.c_str(), row.timestamp.c_str(), row.permanent)) {
            FUZZ_CHECK(!row.host.empty() && !row.timestamp.empty() && writer.used < writer.size);
            saved.push_back(row);
        } else {
            FUZZ_CHECK(writer.used == used);
        }
        FUZZ_CHECK(block[writer.used] == '\0');
        if (IsTargetHost(row.host.c_str(), row.timestamp.c_str(), row.permanent, kClocks[0])) {
            AppendTargetHost(&targetWriter, row.host.c_str());
        }
        FUZZ_CHECK(targetWriter.used < targetWriter.size && targets[targetWriter.used] == '\0');
    }
    // The saved text loads as the rows that went into it.
    std::vector<char> again(block.begin(), block.begin() + static_cast<long>(writer.used) + 1);
    std::vector<Row> reloaded = Load(&again);
    FUZZ_CHECK(reloaded.size() == saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        FUZZ_CHECK(reloaded[i].host == saved[i].host && reloaded[i].timestamp == saved[i].timestamp &&
                   reloaded[i].permanent == saved[i].permanent);
    }
    return 0;
}
