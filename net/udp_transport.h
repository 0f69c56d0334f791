// The one UDP socket of the process, over Windows Sockets 1.1 (started by start-up): opened,
// sent on and polled by the network agent thread only. Every datagram goes to and must come
// from the one port of the system, so a stray sender on another port is logged and dropped.
#pragma once
#include <windows.h>
#include <winsock.h>

#include <cstddef>
#include <cstdint>

// A non-blocking UDP socket that may broadcast, bound to address (network order; 0 is every
// interface) and port. INVALID_SOCKET on any failure, with the socket closed, WSAGetLastError()
// telling why, and no log line.
SOCKET UdpOpen(uint32_t address, uint16_t port);

// Sends length bytes of data as one datagram to host (a dotted address or a host name) on port.
// 1 when it was handed to the network, 0 otherwise ("UDP send error" logged when sendto failed;
// nothing logged when the name does not resolve).
int UdpSend(SOCKET socket, const char* host, uint16_t port, const char* data, int length);

// Takes one waiting datagram into buffer, without waiting. Returns its size (> 0), or 0 when
// nothing usable came: an empty queue, a datagram longer than capacity (the library drops it),
// or one from a port other than the system's (logged). The bytes are not terminated. sender
// (senderSize bytes, may be missing) gets "a.b.c.d", or the empty text when 0 is returned.
int UdpReceive(SOCKET socket, char* buffer, int capacity, char* sender, size_t senderSize);
