// The list of compatibility windows of a port: parts of the titles of other programs' windows
// (a fax or dialling program) that need the modem while they are open.
//
// In memory the list is a block of texts, each NUL-terminated, ended by an empty text:
// "Dialer\0Fax\0\0". In the settings store it is one text with a tab between the texts:
// "Dialer\tFax". A list holds at most kWindowListMaxChars characters, counting one separator
// between texts, so that it fits a PortSettings::wnd of 1024 bytes with its two closing NULs
// and its stored form fits the 1022 bytes the store reads it with.
#pragma once
#include <cstddef>

inline constexpr size_t kWindowListMaxChars = 1021;

// The text behind text in a list; an empty text (*result == '\0') is the end of the list.
const char* NextWindowText(const char* text);

// Turns a stored text (read at most storedSize bytes or to its NUL) into a list in list.
// Empty texts (two tabs in a row, a tab at either end) are left out: in the list an empty text
// would end it early and lose the texts behind. A text that would pass the bound is left out
// with everything behind it, rather than cut: a cut title would match windows it never named.
// Returns the number of texts in the list.
size_t WindowListFromStored(const char* stored, size_t storedSize, char* list, size_t listSize);

// Turns a list (read at most listSize bytes or to its empty text) into its stored form, bounded
// the same way. Returns the stored text's length.
size_t WindowListToStored(const char* list, size_t listSize, char* stored, size_t storedSize);

// Copies a list into a list of dstSize bytes, bounded the same way. Returns the number of texts.
size_t CopyWindowList(char* dst, size_t dstSize, const char* src, size_t srcSize);
