/* Control identifiers of the Crash Report dialog. Plain defines: windres reads this. */
#pragma once

#define IDC_CRASH_PROBLEM 36     /* the product name is put in front of its text */
#define IDC_CRASH_CREATED 37
#define IDC_CRASH_PLEASE 38
#define IDC_CRASH_SEND 25        /* "Send crash report" */
#define IDC_CRASH_SEND_DUMP 22   /* "Send minidump of memory (optional)" */
#define IDC_CRASH_ABORT 12       /* "Abort the program"; "Ignore" is IDOK */
#define IDC_CRASH_SAVE_DUMP 17   /* "Save Dump As..." */
#define IDC_CRASH_MORE 18        /* "More Information": folds and unfolds the report */
#define IDC_CRASH_REPORT 46      /* the report text, at the bottom */
