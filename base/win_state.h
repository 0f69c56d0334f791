// Process-wide Win32 handles. Written by start-up on the user-interface thread before any
// other thread runs (the agent's fields by the agent's start), read everywhere after.
#pragma once
#include <windows.h>

struct WinState {
    HINSTANCE instance;   // resources are loaded from here
    HWND mainWindow;      // target of the application messages
    HANDLE agentThread;   // network agent, waited for at the end
    DWORD agentThreadId;  // target of TMSG_AGENT_TEXT; 0 while no agent runs
};

extern WinState g_win;
