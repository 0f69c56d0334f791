// The program's help: one HTML page with a section per window, built from the README's "Running
// it on Windows" into the program as a resource, and opened in the user's browser at the section
// of the window where F1 was pressed. A WinHelp file beside the program (tellwire.hlp) still comes
// first on a system that has WinHelp, as it always did.
#pragma once
#include <windows.h>

// The sections of windows that are not pages, as their headings read in the help.
inline constexpr char kHelpCallPopup[] = "Call popups";
inline constexpr char kHelpCrashReport[] = "Crash Report";

// Opens the help at the section whose heading reads title (nullptr: at its top).
void ShowHelp(HWND owner, const char* title);

// Closes WinHelp again if it was opened in this run; a browser is the user's to close.
void CloseHelp(HWND owner);
