// Makes the simulated modem a COM port of a Wine prefix (--com).
//
// Wine keeps its ports in two places: the names in HKLM\Software\Wine\Ports, from which the
// wineserver rebuilds the links in dosdevices each time it starts (overwriting a hand-made
// "com1", which on many machines points at /dev/ttyS0), and those links, which is what a
// running server actually opens. So both are set. The prefix's server must already run, started
// by the caller in the network namespace it chose: `wine reg` would otherwise start one here,
// outside that namespace, and the caller's own start would then find it taken.
#pragma once
#include <string>

namespace sim_modem {

// Runs `wine reg add` for COM<number> -> path in the prefix named by $WINEPREFIX and points
// $WINEPREFIX/dosdevices/com<number> at path. Signals blocked in the tool are unblocked in the
// child.
bool MakeWinePort(int number, const std::string& path, std::string* error);

}  // namespace sim_modem
