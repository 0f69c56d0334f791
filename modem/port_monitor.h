// One worker thread per COM port: it opens the port while monitoring is enabled, configures the
// modem, reads its caller-ID lines, and gives the port up while a window of another program that
// needs the modem (a fax or dialling program, known by part of its title) is open.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>

#include "base/unique_handle.h"
#include "modem/port_settings.h"
#include "modem/serial_port.h"

struct PortMonitor {
    SerialPort* port;             // the monitor thread; DestroyPortMonitor once the thread has ended
    OwnedHandle thread;
    DWORD threadId;               // target of TMSG_STOP_THREAD
    std::atomic<HWND> page;       // the Modem page; nullptr ends every wait of the thread
    int portNumber;               // 1 to 4
    std::atomic<uint32_t> reload;  // set by the page: settings changed, reopen with them
    // The page's settings as it showed them at start and as it saved them since: written by the
    // page's thread, copied by the monitor's under the lock. The monitor never reads the page's
    // controls, so it never waits for the page's thread.
    std::mutex settingsLock;
    PortSettings settings;
};

// Starts a monitor for the page of portNumber with the settings the page shows; nullptr when its
// thread cannot be started.
PortMonitor* CreatePortMonitor(HWND page, int portNumber, const PortSettings& settings);
// Hands the monitor the page's newly saved settings (starting a new thread if the old one ended).
bool StartPortMonitor(PortMonitor* monitor, const PortSettings& settings);
// Stops the thread (waits 1.5 s; a thread still busy is left to the end of the process, never
// terminated), closes the port and frees the record.
void DestroyPortMonitor(PortMonitor* monitor);
