#include "modem/serial_port.h"

#include <new>

#include "base/win_clock.h"
#include "modem/command_text.h"
#include "modem/serial_write.h"
#include "modem/thread_messages.h"

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

using PortLock = std::lock_guard<std::mutex>;

// Clears a line error and returns the bytes queued for reading. On an open handle it fails only
// when the device is gone, and then every later call fails too: the first error is kept for the
// port's owner.
DWORD CheckLine(SerialPort* port) {
    COMSTAT status{};
    if (ClearCommError(port->handle.get(), nullptr, &status)) return status.cbInQue;
    if (port->lostError == 0) {
        DWORD error = GetLastError();
        port->lostError = error != 0 ? error : ERROR_NOT_READY;
    }
    return 0;
}

// Changes only what the program needs; every other field, flags included, stays as the driver
// reported it, so settings a user made for the device in the system survive.
void ApplyLineSettings(DCB* dcb, const PortSettings& settings) {
    dcb->BaudRate = settings.baud_rate;
    dcb->ByteSize = static_cast<BYTE>(settings.byte_size);
    dcb->Parity = static_cast<BYTE>(settings.parity);
    dcb->StopBits = static_cast<BYTE>(settings.stop_bits);
    dcb->fBinary = 1;
    dcb->fParity = (settings.parity & 0xFF) != 0 ? 1 : 0;
    dcb->fOutxCtsFlow = 0;  // CTS is watched by hand while writing
    dcb->fOutxDsrFlow = 0;
    dcb->fDtrControl = DTR_CONTROL_ENABLE;  // DTR up while open: the modem answers commands
    dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fOutX = 0;
    dcb->fInX = 0;
    dcb->XonLim = 4096;
    dcb->XoffLim = 4096;
    dcb->XonChar = 0x11;
    dcb->XoffChar = 0x13;
}

// Completes a read or write that ReadFile or WriteFile started (done: its result, moved: the
// bytes it reported). Returns the bytes moved, -1 when the transfer failed to start. A transfer
// the driver has not finished when the thread must stop is cancelled, and waited for until the
// driver lets go of the OVERLAPPED (cancelling completes it at once).
int64_t FinishTransfer(SerialPort* port, OVERLAPPED* overlapped, BOOL done, DWORD moved) {
    if (done) return moved;
    if (GetLastError() != ERROR_IO_PENDING) {
        CheckLine(port);
        return -1;
    }
    for (;;) {
        if (GetOverlappedResult(port->handle.get(), overlapped, &moved, FALSE)) return moved;
        if (GetLastError() != ERROR_IO_INCOMPLETE) {
            CheckLine(port);
            return moved;  // what the failed completion reported was still moved
        }
        if (!PumpThreadMessages()) {
            CancelIo(port->handle.get());
            GetOverlappedResult(port->handle.get(), overlapped, &moved, TRUE);
            return moved;
        }
        Sleep(2);
    }
}

int64_t WriteChunk(void* context, const char* data, uint32_t length) {
    auto* port = static_cast<SerialPort*>(context);
    DWORD sent = 0;
    BOOL done = WriteFile(port->handle.get(), data, length, &sent, &port->writeOverlapped);
    return FinishTransfer(port, &port->writeOverlapped, done, sent);
}

bool ReadCts(void* context, bool* on) {
    DWORD status = 0;
    // Pseudo-terminals and some USB adapters have no modem lines: the call fails, and the write
    // then never waits for CTS.
    if (!GetCommModemStatus(static_cast<SerialPort*>(context)->handle.get(), &status)) return false;
    *on = (status & MS_CTS_ON) != 0;
    return true;
}

constexpr uint32_t kPumpEveryMs = 100;  // how often a waiting read drains the thread's queue

// What is queued, never waiting for more (nothing when the device is gone: lostError tells);
// with pump, an empty queue also drains the thread's message queue.
int32_t ReadQueued(SerialPort* port, char* buffer, uint32_t count, bool pump) {
    if (port == nullptr || buffer == nullptr || count == 0) return 0;
    PortLock lock(port->lock);
    DWORD queued = CheckLine(port);
    if (count > queued) count = queued;
    if (count == 0) {
        if (pump) PumpThreadMessages();
        return 0;
    }
    DWORD got = 0;
    BOOL done = ReadFile(port->handle.get(), buffer, count, &got, &port->readOverlapped);
    int64_t read = FinishTransfer(port, &port->readOverlapped, done, got);
    return static_cast<int32_t>(read > 0 ? read : 0);
}

}  // namespace

SerialPort* OpenSerialPort(const PortSettings& settings) {
    auto* port = new (std::nothrow) SerialPort{};
    if (port == nullptr) return nullptr;
    port->settings = settings;
    port->settings.name[kPortNameSize - 1] = '\0';
    port->security.nLength = sizeof port->security;
    port->security.bInheritHandle = TRUE;
    // Ports above COM9 are only reachable under the device namespace; "\\.\" works for all.
    char device[32];
    wsprintfA(device, "\\\\.\\%s", port->settings.name);
    port->handle.reset(CreateFileA(device, GENERIC_READ | GENERIC_WRITE, 0, &port->security, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr));
    if (port->handle) {
        HANDLE handle = port->handle.get();
        SetCommMask(handle, EV_RXCHAR);
        SetupComm(handle, kQueueSize, kQueueSize);
        PurgeComm(handle, kPurgeAll);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        GetCommState(handle, &dcb);
        ApplyLineSettings(&dcb, port->settings);
        if (!SetCommState(handle, &dcb)) port->handle.reset();
    }
    port->readEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    port->writeEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    port->readOverlapped.hEvent = port->readEvent.get();
    port->writeOverlapped.hEvent = port->writeEvent.get();
    if (!port->handle || !port->readEvent || !port->writeEvent) {
        CloseSerialPort(port);
        return nullptr;
    }
    return port;
}

void CloseSerialPort(SerialPort* port) {
    if (port == nullptr) return;
    {
        PortLock lock(port->lock);
        if (port->handle) {
            SetCommMask(port->handle.get(), 0);
            EscapeCommFunction(port->handle.get(), CLRDTR);  // the modem hangs up when DTR drops
            PurgeComm(port->handle.get(), kPurgeAll);
            port->handle.reset();
        }
    }
    delete port;
}

uint32_t SerialInputQueued(SerialPort* port) {
    if (port == nullptr) return 0;
    PortLock lock(port->lock);
    return CheckLine(port);
}

uint32_t WriteSerial(SerialPort* port, const char* data, uint32_t length) {
    if (port == nullptr || data == nullptr || length < 1) return 0;
    PortLock lock(port->lock);
    SerialWriteOps ops = {
        port,
        WriteChunk,
        ReadCts,
        [](void*) { return PumpThreadMessages(); },
        [](void*, uint32_t ms) { Sleep(ms); },
    };
    return WriteInChunks(ops, data, length);
}

uint32_t WaitForLine(SerialPort* port, uint32_t timeoutMs, uint32_t offset, char* buffer, uint32_t capacity) {
    if (port == nullptr || buffer == nullptr || capacity < 3) return 0;
    if (offset > capacity - 2) offset = capacity - 2;
    const uint32_t interval = LinePollInterval(timeoutMs);
    const uint32_t start = GetTickCount();
    int32_t got = 0;
    // An idle port is polled every 15 ms for a whole second of every pass. The thread's queue is
    // drained less often: under Wine each look at it is a trip to the server, and four idle
    // ports asking at every poll cost a percent of a processor. A stop is still taken within a
    // tenth of a second, and ends the wait with what came so far.
    uint32_t pumped = start - kPumpEveryMs;  // the first poll drains it
    for (;;) {
        bool pump = TicksSince(pumped) >= kPumpEveryMs;
        if (pump) pumped = GetTickCount();
        got = ReadQueued(port, buffer + offset, capacity - 2 - offset, pump);
        if (got > 0 || StopRequested()) break;
        Sleep(interval);
        if (TicksSince(start) >= timeoutMs) break;
    }
    uint32_t total = offset + static_cast<uint32_t>(got > 0 ? got : 0);
    buffer[total] = '\0';
    // A full buffer cannot take the line end: waiting for it would only hold back the rest.
    for (int idle = 0; idle < 50 && total < capacity - 2 && !LineComplete(buffer, total) && !StopRequested();) {
        int32_t more = ReadQueued(port, buffer + total, capacity - 2 - total, true);
        if (more > 0) {
            total += static_cast<uint32_t>(more);
            buffer[total] = '\0';
            idle = 0;
        } else {
            Sleep(10);
        }
        ++idle;
    }
    return total;
}
