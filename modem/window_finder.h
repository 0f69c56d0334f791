// Looking for the windows of other programs that need the modem, for the port monitor threads.
#pragma once
#include <windows.h>

// The first top-level window whose title (its first 511 characters) contains one of the texts
// of list (see modem/window_list.h), compared without regard to case; nullptr when none does or
// the list is missing or empty. Hidden windows count: a fax program that waits in the tray still
// holds on to the modem.
HWND FindWindowByTitles(const char* list);
