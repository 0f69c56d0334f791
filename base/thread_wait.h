// Waiting on the user-interface thread for a worker thread that may itself be waiting for this
// one: loaders and port monitors reach the pages by sending messages, and a plain wait would sit
// blocked until it ran out.
#pragma once
#include <windows.h>

// True when the thread ended within ms; what other threads send meanwhile is carried out.
bool WaitForThreadHandlingSends(HANDLE thread, DWORD ms);

// Sleeps ms in short steps; false (at once) when the program stops meanwhile.
bool SleepUnlessStopping(DWORD ms);
