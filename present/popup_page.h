// The Popup Window page: popups on or off, how many seconds they stay, their font and their two
// colours, and "Test it now". The switch and the seconds act at once on every popup and are
// stored when the main window saves its pages; a font or colour is stored as soon as it is
// chosen, and the next popup is drawn with it.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window. It reads "popup_e" and "popup_t"
// into the values every popup reads, so from then on those are the stored ones.
HWND CreatePopupPage(HWND mainWindow);
