// The main window's page tree. Each item carries the window of its page as item data. Each
// operation takes the dialog and the control's identifier and talks to the control with
// SendDlgItemMessageA, so any thread may call it (the control's own thread carries it out).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstddef>

// Adds an item as the last child of parent (nullptr: at the root) and expands the parent so
// the new item shows. data is the page window, as LPARAM: a handle needs the full pointer width.
// Returns the item, nullptr on failure or for a missing text (then nothing is expanded).
HTREEITEM AddTreeItem(HWND dialog, int id, HTREEITEM parent, LPARAM data, const char* text);
// The same with the text of a string resource (cut at 255 bytes; empty when there is none).
HTREEITEM AddTreeItemRes(HWND dialog, int id, HTREEITEM parent, LPARAM data, UINT textId);

// The item's page window; nullptr when the item cannot be read.
HWND GetTreeItemData(HWND dialog, int id, HTREEITEM item);
// Reads the item's text into buffer, cut to fit and always terminated (empty when the read
// fails). Returns true on success.
bool GetTreeItemText(HWND dialog, int id, HTREEITEM item, char* buffer, size_t size);
// The caret (selected) item, nullptr when there is none.
HTREEITEM GetSelectedTreeItem(HWND dialog, int id);

// The first item, depth first (an item, then its children, then its next sibling), from the
// first root item, whose text equals text without regard to case. Texts are compared over their
// first 255 bytes. nullptr when none does.
HTREEITEM FindTreeItemByText(HWND dialog, int id, const char* text);
