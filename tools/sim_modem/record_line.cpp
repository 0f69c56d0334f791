#include "tools/sim_modem/record_line.h"

#include <cstdio>

namespace sim_modem {

std::string HexBytes(const char* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        unsigned char u = static_cast<unsigned char>(data[i]);
        out += kDigits[u >> 4];
        out += kDigits[u & 15];
    }
    return out;
}

std::string RecordLine(double seconds, const char* event, const std::string& detail) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%.6f ", seconds < 0 ? 0.0 : seconds);
    std::string line = stamp;
    line += event;
    if (!detail.empty()) {
        line += ' ';
        line += detail;
    }
    line += '\n';
    return line;
}

}  // namespace sim_modem
