// The caller log file as the loader reads it (its bytes in a block of exactly that size), and each
// row as a rewrite saves it: the saved line reads back as one row, which saves as the same line.
#include "present/caller_log_format.h"
#include "tests/fuzz/fuzz_check.h"

static std::vector<CallerLogRecord> Rows(const std::vector<char>& file) {
    std::vector<CallerLogRecord> rows;
    CallerLogCursor cursor{file.data(), file.size(), 0};
    CallerLogRecord record;
    bool row = false;
    for (size_t before = 0; NextCallerLogRecord(&cursor, &record, &row); before = cursor.at) {
        FUZZ_CHECK(cursor.at > before && cursor.at <= file.size());  // always a step on, never past the end
        if (row) rows.push_back(record);
    }
    return rows;
}

static std::string Saved(const CallerLogRecord& row) {
    char line[kLogLineSize];
    return MakeSavedCallerLogLine(row.date, row.time, row.number, row.name, line, sizeof line) ? line : "";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const CallerLogRecord& row : Rows(std::vector<char>(data, data + size))) {
        std::string line = Saved(row);
        std::vector<CallerLogRecord> again = Rows(std::vector<char>(line.begin(), line.end()));
        if (line.empty()) continue;  // no date, time or number: not saved
        FUZZ_CHECK(again.size() == 1 && Saved(again[0]) == line);
        FUZZ_CHECK(std::strcmp(again[0].number, row.number) == 0 || std::strchr(row.number, '\t'));  // as it came
    }
    return 0;
}
