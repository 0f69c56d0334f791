// One COM port opened for overlapped input and output. Reads never wait on an empty queue; the
// callers poll. Every read, write and close holds the port's lock.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>

#include "base/unique_handle.h"
#include "modem/port_settings.h"

struct SerialPort {
    std::mutex lock;
    SECURITY_ATTRIBUTES security;  // inheritable handle
    OwnedHandle handle;            // empty when opening failed
    OwnedHandle readEvent;         // manual-reset, the event of readOverlapped
    OwnedHandle writeEvent;        // manual-reset, the event of writeOverlapped
    OVERLAPPED readOverlapped;
    OVERLAPPED writeOverlapped;
    PortSettings settings;         // as opened; settings.name prefixes every log line
    // The error of the first line check that failed on the open handle: the device went away
    // (unplugged, or its driver ended) and only closing and opening again can bring it back.
    // 0 while the port works. Written under the lock by the thread that reads the port.
    DWORD lostError;
};

// Opens settings.name exclusively with the line settings applied; nullptr when the port is absent,
// in use by another program, or refuses the settings. Logs nothing: the caller decides.
SerialPort* OpenSerialPort(const PortSettings& settings);
// Drops DTR (the modem hangs up), purges, closes and frees. nullptr is ignored.
void CloseSerialPort(SerialPort* port);
// The bytes the driver holds for reading now (0 also when the device is gone).
uint32_t SerialInputQueued(SerialPort* port);
// Writes length bytes in chunks; returns the bytes written (short when the thread must stop while
// the modem holds CTS off).
uint32_t WriteSerial(SerialPort* port, const char* data, uint32_t length);
// Waits up to timeoutMs for bytes behind the offset first held in buffer, then about half a second
// of idle time for their line end, unless the buffer is full or the thread must stop. Returns the
// text's total length, always NUL-terminated.
uint32_t WaitForLine(SerialPort* port, uint32_t timeoutMs, uint32_t offset, char* buffer, uint32_t capacity);
