// The control FIFO: script and control lines written at run time by tests (`echo 'line RING' >
// FIFO`), one writer after another. A FIFO's reader sees end-of-file once the last writer has
// gone, and from then on poll() reports it at once, every time; reopening the FIFO waits for
// the next writer quietly.
#pragma once
#include <string>
#include <vector>

#include "tools/sim_modem/unique_fd.h"

namespace sim_modem {

// Longer lines are dropped whole (and reported): nobody writes a script line that long on purpose.
inline constexpr size_t kMaxControlLine = 8192;

struct ControlFifo {
    std::string path;
    UniqueFd fd;          // non-blocking reader
    std::string pending;  // the start of a line whose LF has not come yet
    bool overlong = false;  // pending outgrew kMaxControlLine: drop up to the next LF
};

// Makes the FIFO (an old FIFO of that name is replaced; any other file is left alone and is an
// error) and opens it for reading without waiting for a writer.
bool CreateControlFifo(ControlFifo* fifo, const std::string& path, std::string* error);

// Reads what the writers sent and appends each complete line to lines. The last writer's
// unterminated line counts as complete when it goes. Overlong lines are reported in *warnings.
// Returns false when the FIFO cannot be read any more (then *error says why).
bool ReadControlFifo(ControlFifo* fifo, std::vector<std::string>* lines,
                     std::vector<std::string>* warnings, std::string* error);

void RemoveControlFifo(ControlFifo* fifo);

}  // namespace sim_modem
