// The --record file. Every line goes to the file in one write(2) as it happens (O_APPEND), so a
// test reading it while the tool runs sees whole lines, and a killed tool loses none.
#pragma once
#include <string>

#include "tools/sim_modem/unique_fd.h"

namespace sim_modem {

struct RecordFile {
    UniqueFd fd;  // not valid: no record asked for
};

bool OpenRecordFile(RecordFile* record, const std::string& path, std::string* error);

// A line of record_line.h at seconds since the tool started. A failed write is reported once on
// stderr; the modem goes on.
void RecordEvent(RecordFile* record, double seconds, const char* event, const std::string& detail);

}  // namespace sim_modem
