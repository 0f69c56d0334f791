// Sending a crash report: a mail to the support address with the report (and, when the user
// chose it, the memory dump) attached, through the user's mail program.
#pragma once

#include "diag/crash_context.h"

// Runs after the dialog while the temporary files still exist; does nothing unless the context
// has a recipient. The mail program's own interface (Simple MAPI) is asked first, as it can
// attach files; when there is none, or it takes no mail, a mailto: link with the subject and the
// body goes to the shell. A link cannot carry files, so then the report and the dump are left in
// the temporary folder, which is opened with the report selected, and the body says where they
// are. Returns true when the files were so left to the user: they must not be deleted.
bool SendCrashReport(const CrashContext* context);
