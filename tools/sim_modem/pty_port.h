// The pseudo-terminal the simulated modem sits on. The tool keeps only the master open: with
// the slave closed on our side, a read of the master fails with EIO exactly while nobody has the
// slave open, which is how the tool sees the other side (Wine's COM port) open and close it.
// poll() shows the close (POLLHUP) but not the opening, as the master reports POLLHUP for as
// long as the slave is closed; a closed port is probed every 20 ms instead. So an opening that
// sends nothing and closes again within 20 ms may go unseen.
#pragma once
#include <cstddef>
#include <string>

#include "tools/sim_modem/unique_fd.h"

namespace sim_modem {

inline constexpr int kClosedProbeMs = 20;

struct PtyPort {
    UniqueFd master;        // non-blocking
    std::string slavePath;  // /dev/pts/N
};

// A new pty, its slave in raw mode and closed again.
bool OpenPtyPort(PtyPort* port, std::string* error);

enum class PtyRead {
    Data,    // *got bytes in the buffer
    Empty,   // the other side has the slave open, nothing to read
    Closed,  // nobody has the slave open (and everything it sent before was read)
    Failed,  // anything else, with errno kept in *errorNumber
};

PtyRead ReadPty(const PtyPort& port, char* buffer, size_t size, size_t* got, int* errorNumber);

enum class PtyWrite { Sent, Full, Closed, Failed };

// Writes what the pty takes now (possibly less than size, then *sent says how much).
PtyWrite WritePty(const PtyPort& port, const char* data, size_t size, size_t* sent,
                  int* errorNumber);

// After the other side closed the slave: what it left unread is dropped and the slave is in
// raw mode again, so that every opening starts alike. Without it the kernel would hand a
// RING sent just before a close to the next opener, seconds or minutes late. The slave is
// open on our side only during this call.
bool ResetSlave(const PtyPort& port, std::string* error);

}  // namespace sim_modem
