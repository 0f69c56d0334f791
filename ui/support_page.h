// The Support page, the last item of the page tree: the product and version in large type, the
// release date, and link labels to the maker's web site and to the support mail address.
#pragma once
#include <windows.h>

// The release this program is, as the page shows it: month, day padded to two places, year and
// time of day.
inline constexpr char kReleaseDate[] = "Jan  6 2007 - 12:28:35";

// Creates the page, hidden, as a child of the main window.
HWND CreateSupportPage(HWND mainWindow);

INT_PTR CALLBACK SupportPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
