#include "tools/sim_modem/control_fifo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/sim_modem/system_error.h"

namespace sim_modem {

namespace {

// The new reader is open before the old one closes: a FIFO without any reader loses what is in
// it, and a writer that came in between would get EPIPE.
bool OpenReader(ControlFifo* fifo, std::string* error) {
    fifo->fd.reset(open(fifo->path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fifo->fd.valid()) {
        *error = SystemError("cannot open the control FIFO " + fifo->path, errno);
        return false;
    }
    return true;
}

void TakeLine(ControlFifo* fifo, std::vector<std::string>* lines) {
    if (!fifo->overlong) lines->push_back(fifo->pending);
    fifo->pending.clear();
    fifo->overlong = false;
}

}  // namespace

bool CreateControlFifo(ControlFifo* fifo, const std::string& path, std::string* error) {
    struct stat info;
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISFIFO(info.st_mode)) {
            *error = path + " exists and is not a FIFO";
            return false;
        }
        unlink(path.c_str());
    }
    if (mkfifo(path.c_str(), 0600) != 0) {
        *error = SystemError("cannot make the control FIFO " + path, errno);
        return false;
    }
    fifo->path = path;
    return OpenReader(fifo, error);
}

bool ReadControlFifo(ControlFifo* fifo, std::vector<std::string>* lines,
                     std::vector<std::string>* warnings, std::string* error) {
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fifo->fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) return true;
            *error = SystemError("cannot read the control FIFO", errno);
            return false;
        }
        if (n == 0) {
            if (!fifo->pending.empty() || fifo->overlong) TakeLine(fifo, lines);
            return OpenReader(fifo, error);
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == '\n') {
                TakeLine(fifo, lines);
                continue;
            }
            if (fifo->overlong) continue;
            if (fifo->pending.size() >= kMaxControlLine) {
                warnings->push_back("control line longer than " + std::to_string(kMaxControlLine) +
                                    " bytes dropped");
                fifo->pending.clear();
                fifo->overlong = true;
                continue;
            }
            fifo->pending += buffer[i];
        }
    }
}

void RemoveControlFifo(ControlFifo* fifo) {
    if (fifo->path.empty()) return;
    fifo->fd.reset(-1);
    unlink(fifo->path.c_str());
}

}  // namespace sim_modem
