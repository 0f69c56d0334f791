#include "tools/sim_modem/record_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "tools/sim_modem/record_line.h"
#include "tools/sim_modem/system_error.h"

namespace sim_modem {

bool OpenRecordFile(RecordFile* record, const std::string& path, std::string* error) {
    record->fd.reset(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!record->fd.valid()) {
        *error = SystemError("cannot open the record " + path, errno);
        return false;
    }
    return true;
}

void RecordEvent(RecordFile* record, double seconds, const char* event, const std::string& detail) {
    if (!record->fd.valid()) return;
    std::string line = RecordLine(seconds, event, detail);
    size_t done = 0;
    while (done < line.size()) {
        ssize_t n = write(record->fd.get(), line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            std::string message = SystemError("record not written", errno);
            std::fprintf(stderr, "sim_modem: %s\n", message.c_str());
            record->fd.reset(-1);
            return;
        }
        done += static_cast<size_t>(n);
    }
}

}  // namespace sim_modem
