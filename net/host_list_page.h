// The host list: the computers the broadcasting computer sends every call and ring to. It lives
// in the Network page's list, which is loaded from "hosts" when the page is made and written back
// when it goes; the network agent reads and renews it through the two operations below.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window, and loads the list.
HWND CreateHostListPage(HWND mainWindow);

INT_PTR CALLBACK HostListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The sender of a "Client" reply: renews the time stamp of its row (found without regard to
// case), or appends a row for it at the end. 1 when a row was added or renewed; 0 without a
// sender or without the page. Any thread may call it: one synchronous message to the page.
int AddDiscoveredHost(const char* sender);

// The hosts that receive calls now, in list order: a 16384-byte LocalAlloc'd multi-string (each
// host ends with a NUL, an empty text ends the list), empty when there is no page. nullptr when
// out of memory. The caller frees it with LocalFree. Any thread: one synchronous message.
char* GetTargetHosts();
