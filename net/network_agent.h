// The network agent: the one worker thread that owns the UDP socket. In role 3 it announces this
// computer once a minute, learns the listening computers from their replies and sends them every
// call and ring handed to it (TMSG_AGENT_TEXT); in role 1 it answers announcements and shows the
// calls and rings that arrive; in role 2 it sends nothing and ignores what arrives.
#pragma once
#include <windows.h>
#include <winsock.h>

#include <cstdint>

// Creates the agent thread and keeps its handle and id in g_win. Once, at start-up, after the
// settings are read and before the main window exists.
void StartNetworkAgent();
// After the main loop (the stop flag is set by then) and before WSACleanup: waits up to 5 s for
// the agent, what it sends to the pages meanwhile still carried out, and ends it otherwise.
void StopNetworkAgent();

DWORD WINAPI NetworkAgentThread(LPVOID unused);

// The stamp this copy puts into its packets: the tick count when its agent started.
uint32_t GetInstanceStamp();

// Builds the packet for payload and sends it to host on the system's port; the result is ignored.
void SendPacket(SOCKET socket, const char* host, const char* payload);
// SendPacket to every target host of the host list, in the list's order.
void SendToHosts(SOCKET socket, const char* payload);
// Acts on one received, zero-terminated datagram from sender ("a.b.c.d").
void HandlePacket(SOCKET socket, const char* text, const char* sender);
// The payload behind the header, or nullptr (logged unless it is this copy's own packet).
const char* CheckPacketHeader(const char* text, const char* sender);
