// The lines of the simulated modem's record (--record): the seconds since the tool started with
// six decimals, the event, and its detail, e.g. "12.034567 rx 41545a0d" or "0.501200 open".
// Tests read these files to learn what the program under test sent and when.
#pragma once
#include <cstddef>
#include <string>

namespace sim_modem {

// Lower-case hex, two digits a byte, no spaces: the bytes on the wire without any guessing.
std::string HexBytes(const char* data, size_t size);

// One record line, LF included; no detail, no blank behind the event.
std::string RecordLine(double seconds, const char* event, const std::string& detail);

}  // namespace sim_modem
