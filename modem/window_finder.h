// Looking for the windows of other programs that need the modem, and waiting on the Modem page,
// for the port monitor threads.
#pragma once
#include <windows.h>

#include <atomic>

// The first top-level window whose title (its first 511 characters) contains one of the texts
// of list (see modem/window_list.h), compared without regard to case; nullptr when none does or
// the list is missing or empty. Hidden windows count: a fax program that waits in the tray still
// holds on to the modem.
HWND FindWindowByTitles(const char* list);

// Sleeps up to count times 500 ms. Returns false as soon as *page is nullptr or no longer a
// window (checked every 50 ms, so a monitor being destroyed is not kept waiting), true when the
// whole time passed with the page in place, or the program stopped meanwhile (it then returns at
// once, and the caller's loop ends on the stop flag).
bool SleepWhileWindow(const std::atomic<HWND>* page, int count);
