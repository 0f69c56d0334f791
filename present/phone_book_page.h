// The phone book: a model of the contacts that the Phone Book page shows in an owner-data list.
// A loader thread reads the file into it at start; the user edits it on the page; lookups from
// any thread read it; the file is rewritten from it when the main window closes and when the
// page goes.
#pragma once
#include <windows.h>

#include <cstddef>

// Creates the page, hidden, as a child of the main window, and starts its loader.
HWND CreatePhoneBookPage(HWND mainWindow);

// The file's path: "pbook", or the program's path with "pbook", stored on first use (MAX_PATH
// bytes).
void GetPhoneBookPath(char* buffer);

// True once the loader has put the whole file (or its absence) into the list: only then is the
// list the user's phone book, to add to and to write out.
bool PhoneBookLoaded();

// After rows were added to or taken from the model at once (an import and its undo): the list
// shows the new rows, the selection goes, and the page is marked changed, so the book is saved.
void ShowPhoneBookChange(HWND page);
