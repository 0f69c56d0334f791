// The two command-line switches and the exit codes of the program.
#pragma once

enum class StartSwitch { None, HomeUrl, Uninstall };

inline constexpr int kExitNormal = 0;
inline constexpr int kExitHomeUrl = 2;
inline constexpr int kExitAlreadyRunning = 3;
inline constexpr int kExitUninstall = 5;
inline constexpr int kExitNoWinsock = 10;

// Which switch the arguments ask for: each is found anywhere, in any case, and "/HOMEURL" is
// checked first, so it wins when both are given. The arguments exclude the program's own path:
// a copy kept in a folder such as "C:/Uninstall/" must not wipe its settings at every start.
StartSwitch ChooseStartSwitch(const char* arguments);
