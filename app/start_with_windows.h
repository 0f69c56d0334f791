// "Start Tellwire when I sign in to Windows": a value named after the product under the user's
// Run key, holding the program's quoted path. Windows starts what it names at every sign-in; the
// installer's option writes the same value, "/UNINSTALL" removes it.
#pragma once
#include <windows.h>

// Whether the value is there now, whatever it holds: one the user removed by hand (or through
// the system's list of start-up programs) is off.
bool StartsWithWindows();

// Writes the value with this program's path, or removes it. True when the registry took it (a
// value already absent counts as removed).
bool SetStartWithWindows(bool on);
