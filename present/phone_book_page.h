// The phone book: the Phone Book page's list is the book itself. A loader thread reads the file
// into it at start; the user edits it on the page; lookups from any thread read it; the file is
// rewritten from it when the main window closes and when the page goes.
#pragma once
#include <windows.h>

#include <cstddef>

// Creates the page, hidden, as a child of the main window, and starts its loader.
HWND CreatePhoneBookPage(HWND mainWindow);

// The name of the first contact, from the top of the list, one of whose numbers matches number
// (see TailMatch): copied into name (at most 199 characters, cut to nameSize) and true. False,
// name untouched, when none matches or the page does not exist. Any thread may call it; the
// whole search runs on the page's thread in one synchronous message.
bool LookupPhoneBook(const char* number, char* name, size_t nameSize);

// The file's path: "pbook", or the program's path with "pbook", stored on first use (MAX_PATH
// bytes).
void GetPhoneBookPath(char* buffer);

// Rewrites the file from the page's list; an empty list deletes it. Refused (false) while the
// loader has not read the whole file, and for good when the file was there but could not be read:
// the list then is not the user's phone book. A failed write leaves the old file whole.
bool SavePhoneBook(HWND page);

// Selects an empty row (reused or added) and puts the keyboard focus into the name field. On
// the page's thread.
void AddContact(HWND page);
