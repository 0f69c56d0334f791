// The crash reporter: the process's unhandled-exception filter. It writes a memory dump and a
// text report to the temporary directory, shows the Crash Report dialog, sends the report when
// the user asked for it, deletes the temporary files (unless a mail link left them for the user
// to attach), and then continues or ends the program.
#pragma once
#include <windows.h>

#include "diag/crash_context.h"

// Makes CrashFilter the filter and remembers the one it replaces.
void InstallCrashHandler();
// Puts the remembered filter back and forgets it; nothing when none is remembered.
void RestoreCrashHandler();

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);
// EXCEPTION_CONTINUE_EXECUTION after Ignore, EXCEPTION_CONTINUE_SEARCH when no dialog could be
// shown; after Abort the process is ended before it returns.
LONG HandleCrash(EXCEPTION_POINTERS* pointers);
// The same for an exception raised on another thread, which waits meanwhile.
LONG HandleCrashOf(EXCEPTION_POINTERS* pointers, DWORD faultingThreadId);

// The temporary directory's "tlwire." path with this extension; false when there is none.
bool MakeTempFileName(char* buffer, const char* extension);
// Adds the path to the context's temporary files when the file exists.
void AddTempFile(CrashContext* context, const char* path);
// A new local-heap multi-string of the list and the text; the old block is freed. Without a
// text, or without memory for the new block, the old list comes back unchanged.
char* AppendMultiString(char* list, const char* text);
// Deletes every file of the list that lies in the temporary directory.
void DeleteTempFiles(const char* list);
void FreeModuleList(ModuleRecord* first);

// The parts of the handling, in their order.
void WriteMiniDump(EXCEPTION_POINTERS* pointers, CrashContext* context);
void BuildCrashReport(EXCEPTION_POINTERS* pointers, CrashContext* context);
