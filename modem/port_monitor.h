// One worker thread per COM port: it opens the port while monitoring is enabled, configures the
// modem, reads its caller-ID lines, and gives the port up while a window of another program that
// needs the modem (a fax or dialling program, known by part of its title) is open.
#pragma once
#include <windows.h>

#include <atomic>

#include "modem/serial_port.h"

struct PortMonitor {
    SerialPort* port;             // the monitor thread; DestroyPortMonitor once the thread has ended
    HANDLE thread;
    DWORD threadId;               // target of TMSG_STOP_THREAD
    std::atomic<HWND> page;       // the Modem page; nullptr ends every wait of the thread
    int portNumber;               // 1 to 4
    std::atomic<uint32_t> reload;  // set by the page: settings changed, reopen with them
};

// Starts a monitor for the page of portNumber; nullptr when its thread cannot be started.
PortMonitor* CreatePortMonitor(HWND page, int portNumber);
// Tells the monitor that the page's settings changed (starting a new thread if the old one ended).
bool StartPortMonitor(PortMonitor* monitor);
// Stops the thread (5 s, then terminated), closes the port and frees the record.
void DestroyPortMonitor(PortMonitor* monitor);
