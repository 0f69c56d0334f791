// The block list: a model of the numbers whose calls are hung up on, which the Blocked Numbers
// page shows in an owner-data list. A loader thread reads the file (beside the phone book, with
// the extension "block") into it at start; the user edits it on the page, or blocks a call from
// the Caller Log page; the port monitors ask it from their threads (block_list_lookup.h); the
// file is rewritten from it after a change when the main window closes and when the page goes.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window, and starts its loader.
HWND CreateBlockListPage(HWND mainWindow);

// "Block this number" of the Caller Log page, on the user-interface thread: whether the list can
// take the call's number (see CanBlockCallNumber), and taking it, with the caller's name as its
// note. Blocking a number the list already blocks, or cannot block, does nothing.
bool CanBlockNumber(const char* number);
bool BlockNumber(const char* number, const char* note);
