// The simulated modem's command line and its --help text.
#pragma once
#include <string>

#include "tools/sim_modem/modem.h"

namespace sim_modem {

extern const char kHelpText[];

struct Options {
    bool help = false;
    std::string link;     // --link, as given
    int com = 0;          // --com: 0 for none
    bool dead = false;
    std::string script;   // --script file, empty for none
    double repeatSeconds = 0;  // --repeat: 0 for none
    double ringGap = 6;
    std::string control;  // --control FIFO, empty for none
    std::string record;   // --record file, empty for none
    bool wallClock = false;  // --wall-clock: record time stamps are seconds since 1970
    ModemSettings modem;  // --echo, --accept, --refuse
};

struct OptionsParse {
    Options options;
    bool ok = true;
    std::string error;
};

// argv without the program name. --accept and --refuse apply in the order given, the last word
// on a command winning; any --accept replaces the default list of accepted caller-ID commands.
OptionsParse ParseOptions(int argc, const char* const* argv);

}  // namespace sim_modem
