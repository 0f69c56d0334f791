#include "tools/sim_modem/pty_port.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

#include "tools/sim_modem/system_error.h"

namespace sim_modem {

namespace {

// Raw: no echo in the line discipline (it would send our own RINGs back to us as if the other
// side had typed them), no CR/LF translation, 8 bits through.
bool MakeRaw(int fd, bool dropInput, std::string* error) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        *error = SystemError("tcgetattr", errno);
        return false;
    }
    cfmakeraw(&settings);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        *error = SystemError("tcsetattr", errno);
        return false;
    }
    if (dropInput && tcflush(fd, TCIFLUSH) != 0) {
        *error = SystemError("tcflush", errno);
        return false;
    }
    return true;
}

bool SetUpSlave(const std::string& path, bool dropInput, std::string* error) {
    UniqueFd slave(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.valid()) {
        *error = SystemError("cannot open " + path, errno);
        return false;
    }
    return MakeRaw(slave.get(), dropInput, error);
}

}  // namespace

bool OpenPtyPort(PtyPort* port, std::string* error) {
    UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.valid()) {
        *error = SystemError("posix_openpt", errno);
        return false;
    }
    char name[128];
    if (grantpt(master.get()) != 0 || unlockpt(master.get()) != 0 ||
        ptsname_r(master.get(), name, sizeof name) != 0) {
        *error = SystemError("cannot unlock the pty", errno);
        return false;
    }
    int flags = fcntl(master.get(), F_GETFL);
    if (flags < 0 || fcntl(master.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        *error = SystemError("cannot make the pty non-blocking", errno);
        return false;
    }
    if (!SetUpSlave(name, false, error)) return false;
    port->master = std::move(master);
    port->slavePath = name;
    return true;
}

PtyRead ReadPty(const PtyPort& port, char* buffer, size_t size, size_t* got, int* errorNumber) {
    ssize_t n = read(port.master.get(), buffer, size);
    if (n > 0) {
        *got = static_cast<size_t>(n);
        return PtyRead::Data;
    }
    *got = 0;
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return PtyRead::Empty;
    // Linux says EIO; an end-of-file would mean the same.
    if (n == 0 || errno == EIO) return PtyRead::Closed;
    *errorNumber = errno;
    return PtyRead::Failed;
}

PtyWrite WritePty(const PtyPort& port, const char* data, size_t size, size_t* sent,
                  int* errorNumber) {
    *sent = 0;
    ssize_t n = write(port.master.get(), data, size);
    if (n >= 0) {
        *sent = static_cast<size_t>(n);
        return n > 0 || size == 0 ? PtyWrite::Sent : PtyWrite::Full;
    }
    if (errno == EAGAIN || errno == EINTR) return PtyWrite::Full;
    if (errno == EIO) return PtyWrite::Closed;
    *errorNumber = errno;
    return PtyWrite::Failed;
}

bool ResetSlave(const PtyPort& port, std::string* error) {
    return SetUpSlave(port.slavePath, true, error);
}

}  // namespace sim_modem
