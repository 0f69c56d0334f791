// The Crash Report dialog: tells the user about the crash, offers the dump and the report, and
// asks whether to send them; then either continues the program or ends it.
#pragma once
#include <windows.h>

#include "diag/crash_context.h"

// Runs the dialog modally, without an owner, on the calling (faulting) thread. Returns
// kCrashAbort, kCrashContinue, or -1 when the dialog could not be created.
INT_PTR ShowCrashDialog(CrashContext* context);

INT_PTR CALLBACK CrashDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
