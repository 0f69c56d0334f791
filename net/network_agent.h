// The network agent: the one worker thread that owns the UDP socket. In role 3 it announces this
// computer once a minute, learns the listening computers from their replies and sends them every
// call and ring handed to it (TMSG_AGENT_TEXT); in role 1 it answers announcements and shows the
// calls and rings that arrive; in role 2 it sends nothing and ignores what arrives.
#pragma once
#include <windows.h>

#include <cstdint>

// Creates the agent thread and keeps its handle and id in g_win. Once, at start-up, after the
// settings are read and before the main window exists.
void StartNetworkAgent();
// After the main loop (the stop flag is set by then) and before WSACleanup: waits up to a second
// for the agent, what it sends to the pages meanwhile still carried out; one still busy is left.
void StopNetworkAgent();

// The stamp this copy puts into its packets: the tick count when its agent started.
uint32_t GetInstanceStamp();
