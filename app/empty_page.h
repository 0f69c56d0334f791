// A page with nothing on it yet: it takes part in the tree, the layout and the page messages.
#pragma once
#include <windows.h>

HWND CreateEmptyPage(HWND mainWindow, int dialogId, LPARAM parameter);
