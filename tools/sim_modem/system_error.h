// The one way the simulated modem words a failed system call: what it tried, and the system's
// own text for errno.
#pragma once
#include <cstring>
#include <string>

namespace sim_modem {

inline std::string SystemError(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

}  // namespace sim_modem
