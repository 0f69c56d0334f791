// The loader thread of a page (Caller Log, Phone Book) that reads its file at start. The page keeps
// the thread's handle in its property "th" until the page is destroyed.
#pragma once
#include <windows.h>

#include "base/unique_handle.h"

// The property owns the handle from here on.
void KeepPageLoader(HWND page, OwnedHandle loader);
// True while the loader still fills the list: its list must then not replace the file.
bool PageLoaderRunning(HWND page);
// At the page's end: waits up to ms for the loader (carrying out what it sends to the page), then
// lets go of its handle. True when the loader has ended (or there was none).
bool EndPageLoader(HWND page, DWORD ms);
