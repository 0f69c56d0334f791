// The role page, the page of the tree item "Modem": the user chooses whether this computer
// watches its modem, also broadcasts the calls, or only accepts calls from the network. A choice
// takes effect at once for every thread; "role" is written when the main window saves its pages.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window. A stored role other than 1 to 3
// shows as "accept over network" and becomes role 1.
HWND CreateRolePage(HWND mainWindow);
