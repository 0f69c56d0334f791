// The program log: diagnostic lines from any thread, shown on the Program Log page (a list box
// under "Support"), each with the time since the line before it. It is never written to a file.
#pragma once
#include <windows.h>

// Formats one line (wsprintfA rules, at most 1024 characters), trims its trailing blanks and
// adds it. The format must be a literal; received text goes in as an argument, never as format.
void LogPrintf(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));
// Adds one finished line. Dropped while the page does not exist and once the program stops.
void AddLogLine(const char* text);
// Creates the page as a hidden child of the main window; the main window's layout sizes it.
HWND CreateProgramLogPage(HWND mainWindow);
