// The Sounds page, below "Popup Window" in the tree: a check box that switches the ring sound
// on, the path of the wave file, "Browse..." and "Test". A ring plays what the page shows at
// that moment, saved or not; "snd_e" and "snd_f" are written when the main window saves its
// pages after the user changed something here.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window.
HWND CreateSoundsPage(HWND mainWindow);

// On every ring, on the user-interface thread: has the Sounds page play its sound ("Test"),
// if the box is checked there. Only posts, so it returns at once; nothing without the page.
void PlayRingSound();
