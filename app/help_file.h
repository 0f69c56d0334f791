// The help file beside the program (tellwire.hlp), opened with WinHelp.
#pragma once
#include <windows.h>

// open 1: show the help file; open 0: close it again if it was ever shown.
void ShowHelp(HWND window, int open);
