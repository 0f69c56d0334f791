// Sending a crash report: a mail to the support address with the report (and, when the user
// chose it, the memory dump) attached, through the user's mail program.
#pragma once

#include "diag/crash_context.h"

// Runs after the dialog while the temporary files still exist; does nothing unless the context
// has a recipient. The mail program's own interface (Simple MAPI) is asked first, as it can
// attach files; when there is none, or it takes no mail, a mailto: link with the subject and the
// body goes to the shell, and the user attaches nothing (the files are gone by then).
void SendCrashReport(const CrashContext* context);
