// The Network page: the host list (net/shared_host_list.h) in an owner-data list, with an editor
// for one host below it. The page loads the list from "hosts" when it is made and writes it back
// when it goes; the network agent renews and reads the list meanwhile, and the page draws what it
// changed.
#pragma once
#include <windows.h>

// Creates the page, hidden, as a child of the main window, and loads the list.
HWND CreateHostListPage(HWND mainWindow);
