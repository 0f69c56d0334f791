// The main window's tree of pages: every item carries its page window as item data.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Creates every page, hidden, each just before its item is added, in tree order:
// Caller Log; Modem with COM1 to COM4; Network; Popup Window with Sounds; Phone Book with
// Blocked Numbers; Support with Program Log.
void FillPageTree(HWND mainWindow);

// Sends message to the page of every item, depth first in tree order: an item, its children, then
// its next sibling. Items without a page are skipped.
void BroadcastToPages(UINT message, WPARAM wParam, LPARAM lParam);

// The page of the selected item, or nullptr.
HWND GetSelectedPage(HWND mainWindow);
