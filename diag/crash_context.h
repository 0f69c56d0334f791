// What one crash handling carries from the dump to the dialog and on to the mail: a zero-filled
// local-heap record, made when the crash is caught and freed when its handling ends.
#pragma once
#include <windows.h>

#include "diag/crash_report.h"

inline constexpr int kRecipientSize = 64;
inline constexpr int kSubjectSize = 128;
inline constexpr int kBodySize = 4096;

struct CrashContext {
    CrashModule* modules;        // local-heap array, filled while the dump is written, most recently reported first
    size_t moduleCount;
    char dumpPath[MAX_PATH];     // the temporary files, once written; empty until then
    char reportPath[MAX_PATH];
    char recipient[kRecipientSize];  // set when "Send crash report" was checked as the dialog closed
    char subject[kSubjectSize];
    char body[kBodySize];
    BOOL sendDump;               // "Send minidump of memory (optional)" as the dialog closed
    DWORD faultingThreadId;      // the thread the dump names as the one that raised the exception
};

// A temporary file's path, nullptr when it was not written.
inline const char* WrittenPath(const char* path) { return path[0] != '\0' ? path : nullptr; }

// Dialog results.
inline constexpr INT_PTR kCrashAbort = 3;
inline constexpr INT_PTR kCrashContinue = 4;
