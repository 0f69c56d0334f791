// The caller log: every call announced here is appended to the caller log file and shown as a row
// on the Caller Log page. The page reads the file back at start on a loader thread; Delete removes
// rows, and the file is then rewritten from the list (at the next call, close or end), never
// otherwise: appending already keeps it equal to the list.
#pragma once
#include <windows.h>

HWND CreateCallerLogPage(HWND mainWindow);

// A call as received (name and number of the call record), from any thread.
void AddCallerLogEntry(const char* name, const char* number);
// One row, the number shown formatted; from any thread.
void AddCallerLogRow(const char* date, const char* time, const char* name, const char* number);
// The file's path: "clog", or the program's path with "log", stored on first use (MAX_PATH bytes).
void GetCallerLogPath(char* buffer);
// Rewrites the file from the page's list (an empty list deletes it). True when the file now
// holds the list; false when it was left as it was (refused, or the rewrite failed: logged).
bool SaveCallerLog(HWND page);
