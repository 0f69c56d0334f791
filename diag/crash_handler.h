// The crash reporter: the process's unhandled-exception filter. It writes a memory dump and a
// text report to the temporary directory, shows the Crash Report dialog, sends the report when
// the user asked for it, deletes the temporary files (unless a mail link left them for the user
// to attach), and then continues or ends the program.
#pragma once

// Makes the crash reporter the filter and remembers the one it replaces.
void InstallCrashHandler();
// Puts the remembered filter back and forgets it; nothing when none is remembered.
void RestoreCrashHandler();
