// The caller log file as the loader reads it, then each row as a full save writes it: the saved
// line, read back, must give the row that was saved.
//
// Input: the file's bytes, in a block of exactly that size (the reader is given the size and
// must not rely on the NUL that ReadWholeFile puts behind the text).
#include <cstring>
#include <string>

#include "base/text_utils.h"
#include "present/caller_log_format.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

void CheckFields(const CallerLogRecord& record) {
    FUZZ_CHECK(strnlen(record.date, kLogFieldSize) < kLogFieldSize);
    FUZZ_CHECK(strnlen(record.time, kLogFieldSize) < kLogFieldSize);
    FUZZ_CHECK(strnlen(record.number, kLogFieldSize) < kLogFieldSize);
    FUZZ_CHECK(strnlen(record.name, kLogNameSize) < kLogNameSize);
}

// The row as the page holds it, saved and loaded again.
void CheckSaved(const CallerLogRecord& row) {
    std::vector<char> line(kLogLineSize, '\0');
    if (!MakeSavedCallerLogLine(row.date, row.time, row.number, row.name, line.data(), line.size())) return;
    size_t length = strnlen(line.data(), line.size());
    FUZZ_CHECK(length < line.size() && length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n');

    std::vector<char> file(line.begin(), line.begin() + static_cast<long>(length));
    CallerLogCursor cursor{file.data(), file.size(), 0};
    CallerLogRecord loaded{};
    bool isRow = false;
    FUZZ_CHECK(NextCallerLogRecord(&cursor, &loaded, &isRow) && isRow);
    CheckFields(loaded);
    bool more = NextCallerLogRecord(&cursor, &loaded, &isRow);
    FUZZ_CHECK(!more);  // one saved row is one line

    // What the save made of each cell.
    std::string date(row.date), time(row.time), name(row.name);
    std::vector<char> number(row.number, row.number + kLogFieldSize);
    std::vector<char> cleanDate(date.begin(), date.end()), cleanTime(time.begin(), time.end());
    cleanDate.push_back('\0');
    cleanTime.push_back('\0');
    StripBlanks(cleanDate.data());
    StripBlanks(cleanTime.data());
    StripBlanks(number.data());  // the number as it came
    std::vector<char> cleanName(name.begin(), name.end());
    cleanName.push_back('\0');
    CollapseBlanks(cleanName.data());
    CallerLogRecord reread{};
    cursor = CallerLogCursor{file.data(), file.size(), 0};
    NextCallerLogRecord(&cursor, &reread, &isRow);
    FUZZ_CHECK(std::strcmp(reread.date, cleanDate.data()) == 0);
    FUZZ_CHECK(std::strcmp(reread.time, cleanTime.data()) == 0);
    FUZZ_CHECK(std::strcmp(reread.number, number.data()) == 0);
    FUZZ_CHECK(std::strcmp(reread.name, cleanName.data()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> file(data, data + size);
    CallerLogCursor cursor{file.data(), file.size(), 0};
    CallerLogRecord record;
    bool row = false;
    size_t records = 0;
    for (;;) {
        size_t before = cursor.at;
        std::memset(&record, 0x55, sizeof record);
        if (!NextCallerLogRecord(&cursor, &record, &row)) break;
        FUZZ_CHECK(cursor.at > before && cursor.at <= size);  // always a step on, never past the end
        FUZZ_CHECK(++records <= size);
        if (!row) continue;
        CheckFields(record);
        CheckSaved(record);
    }
    FUZZ_CHECK(!row);
    return 0;
}
