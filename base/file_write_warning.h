// A data file that cannot be written loses what the user keeps (calls, contacts) without a sign
// on the screen; the program log alone is not read by anyone who does not already suspect it.
#pragma once
#include <windows.h>

// Tells the user, in a message box of its own thread, that path could not be written and why
// (error, a system error code). Once a run: the first failure says it, and a modem that rings
// all day does not pile up boxes. Any thread may call it; it returns at once.
void WarnFileNotWritten(const char* path, DWORD error);
