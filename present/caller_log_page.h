// The caller log: every call announced here is appended to the caller log file and to the model
// the Caller Log page shows. The page reads the file back into the model at start on a loader
// thread; Delete removes rows, and the file is then rewritten from the model (at the next call,
// close or end), never otherwise: appending already keeps it equal to the model.
#pragma once
#include <windows.h>

HWND CreateCallerLogPage(HWND mainWindow);

// A call as received (name and number of the call record), from any thread.
void AddCallerLogEntry(const char* name, const char* number);
// The file's path: "clog", or the program's path with "log", stored on first use (MAX_PATH bytes).
void GetCallerLogPath(char* buffer);
