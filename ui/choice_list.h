// Choice lists: the combo boxes of the pages through one set of operations. Each
// takes the dialog and the control's identifier and talks to the control with
// SendDlgItemMessageA, so any thread may call it (the control's own thread carries it out).
//
// Every entry carries an item data value besides its text. The pages store 32-bit numbers there;
// the type is LPARAM because that is what the controls hold, so no value is cut on the way in or
// out. -1 is the "none" answer of the reading operations, so it makes a poor item data value.
#pragma once
#include <windows.h>

// A text and its item data, for tables of fixed choices.
struct TextPair {
    const char* text;
    LPARAM data;
};

// Appends an entry (sorted lists put it in place). Returns its index, or the control's negative
// error (CB_ERR, CB_ERRSPACE), in which case no item data is set. A missing
// text gives -1 and adds nothing.
int AddChoice(HWND dialog, int id, const char* text, LPARAM data);
int AddChoicePair(HWND dialog, int id, const TextPair& pair);
// The number in decimal as the text and as the item data.
int AddChoiceNumber(HWND dialog, int id, DWORD number);

// Item data of the selected entry; -1 when nothing is selected.
LPARAM GetSelectedChoiceData(HWND dialog, int id);
// Index of the first entry from the top whose item data is data; -1 when none is.
int FindChoiceByData(HWND dialog, int id, LPARAM data);

// The selection operations return the control's answer to its set-selection message. Selecting
// what is not there (no entry with that data or text, a missing text) clears the selection:
// a page then shows no choice rather than a stale one.
int SelectChoiceByData(HWND dialog, int id, LPARAM data);
// Exact match of the whole text, without regard to case, searched from the top.
int SelectChoiceByText(HWND dialog, int id, const char* text);
int SelectChoice(HWND dialog, int id, int index);

// Deletes the selected entry; returns the number of entries left, or -1 when nothing was
// selected (then nothing is deleted).
int DeleteSelectedChoice(HWND dialog, int id);

// All entry texts in list order in one LocalAlloc block, each NUL-terminated, followed by an
// empty text and padding: "a\0b\0" "\0\0\0\0"; with no entries, 4 zero bytes. The caller frees it
// with LocalFree. nullptr when out of memory. An entry whose text is empty looks like the end of
// the list to a reader of the block.
char* GetChoiceTexts(HWND dialog, int id);
