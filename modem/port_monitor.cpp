#include "modem/port_monitor.h"

#include <new>

#include "base/error_text.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/thread_wait.h"
#include "diag/program_log.h"
#include "modem/caller_id_reader.h"
#include "modem/thread_messages.h"
#include "modem/window_finder.h"

namespace {

constexpr DWORD kStartDelayMs = 2000;
constexpr DWORD kStopWaitMs = 1500;
constexpr DWORD kPassPauseMs = 1000;  // between passes, which look for a window that needs the modem
constexpr DWORD kReleasedPauseMs = 20000;  // while another program has the modem, or the port would not open
constexpr DWORD kReloadPauseMs = 5000;
constexpr DWORD kPauseStepMs = 50;

bool PageExists(const PortMonitor* monitor) {
    HWND page = monitor->page;
    return page != nullptr && IsWindow(page);
}

// Every pause is taken in short steps, so that a monitor being destroyed or a program that ends
// is not kept waiting. A pause with the port open ends early when the modem sends something: a
// RING that comes during it is read at once, not up to a second later. A look at the port's
// queue is a trip to the server under Wine, so not more often.
void Pause(const PortMonitor* monitor, DWORD ms) {
    for (DWORD paused = 0; paused < ms && PageExists(monitor) && g_state.stop == 0; paused += kPauseStepMs) {
        if (monitor->port != nullptr && SerialInputQueued(monitor->port) > 0) return;
        Sleep(kPauseStepMs);
    }
}

// One state of the monitor thread, its own: the settings it uses and the call being received.
struct MonitorRun {
    PortMonitor* monitor;
    PortSettings settings;
    CallCycle cycle;
    HangUpPause hangUp;  // between the two commands that hang up on a blocked call
    bool windowFound;
    char windowTitle[512];
};

// Takes the page's latest settings; false when the page is gone.
bool ReadSettings(MonitorRun* run) {
    std::lock_guard<std::mutex> hold(run->monitor->settingsLock);
    run->settings = run->monitor->settings;
    return PageExists(run->monitor);
}

// Closing the port drops DTR: the modem lets go of the line, so a hang-up under way is over too.
void CloseRunPort(MonitorRun* run) {
    CloseSerialPort(run->monitor->port);
    run->monitor->port = nullptr;
    run->hangUp = HangUpPause{};
}

// Another program needs the modem: let go of the port until its window closes.
void ReleaseForWindow(MonitorRun* run, HWND window) {
    GetWindowTextA(window, run->windowTitle, sizeof run->windowTitle);
    if (!run->windowFound) {
        run->windowFound = true;
        LogPrintf("%s: window found: \"%s\"", run->settings.name, run->windowTitle);
    }
    CloseRunPort(run);
    Pause(run->monitor, kReleasedPauseMs);
    if (run->monitor->reload.exchange(0) != 0) ReadSettings(run);
}

// False: the thread ends (monitoring disabled).
bool WatchPort(MonitorRun* run) {
    PortMonitor* monitor = run->monitor;
    if (run->windowFound) {
        run->windowFound = false;
        LogPrintf("%s: window closed: \"%s\"", run->settings.name, run->windowTitle);
    }
    CheckCallEnd(run->settings, monitor->port, &run->cycle);
    if (monitor->port == nullptr) {
        // The reload is taken up by this reading of the page: a save made while the port opens
        // and the modem is configured (seconds) must not be lost.
        monitor->reload = 0;
        if (!ReadSettings(run) || run->settings.enabled == 0) return false;
        monitor->port = OpenSerialPort(run->settings);
        if (monitor->port != nullptr) {
            ConfigureModem(run->settings, monitor->port, &run->cycle);
        } else {
            Pause(monitor, kReleasedPauseMs);  // absent or in use: try again later
        }
    } else if (monitor->reload != 0) {
        CloseRunPort(run);
        Pause(monitor, kReloadPauseMs);  // the next pass opens it with the new settings
    } else {
        ReadCallerIdStep(run->settings, monitor->port, &run->cycle, &run->hangUp);
    }
    // A port whose device went away (a USB adapter pulled, a modem switched off that takes its
    // port with it) fails every call from now on; only a new opening finds it again, once it is
    // back, with the usual pause between tries. The call it was receiving went with it: the
    // next call starts from its first ring, even when the port is back within seconds.
    if (monitor->port != nullptr && monitor->port->lostError != 0) {
        char reason[256];
        LogPrintf("%s: port lost - %s", run->settings.name, ErrorText(monitor->port->lostError, reason, sizeof reason));
        CloseRunPort(run);
        run->cycle = CallCycle{};
    }
    return true;
}

DWORD WINAPI PortMonitorThread(void* parameter) {
    auto* run = static_cast<MonitorRun*>(LocalAlloc(LPTR, sizeof(MonitorRun)));
    if (run == nullptr) return 1;
    run->monitor = static_cast<PortMonitor*>(parameter);
    PortMonitor* monitor = run->monitor;
    Pause(monitor, kStartDelayMs);
    // The pump also says when the program stops.
    for (bool go = ReadSettings(run); go && PumpThreadMessages(); go = PageExists(monitor)) {
        // A report that may be over is not left waiting: its call is shown, or hung up on, once
        // its lines stop; nor is a hang-up's second command.
        if (!WatchModemClosely(run->cycle, run->hangUp)) Pause(monitor, kPassPauseMs);
        HWND window = FindWindowByTitles(run->settings.wnd);
        if (window != nullptr) {
            ReleaseForWindow(run, window);
        } else if (!WatchPort(run)) {
            break;
        }
    }
    LocalFree(run);
    return 0;
}

}  // namespace

PortMonitor* CreatePortMonitor(HWND page, int portNumber, const PortSettings& settings) {
    auto* monitor = new (std::nothrow) PortMonitor{};
    if (monitor == nullptr) return nullptr;
    monitor->page = page;
    monitor->portNumber = portNumber;
    if (!StartPortMonitor(monitor, settings)) {
        DestroyPortMonitor(monitor);
        return nullptr;
    }
    return monitor;
}

bool StartPortMonitor(PortMonitor* monitor, const PortSettings& settings) {
    if (monitor == nullptr) return false;
    {
        std::lock_guard<std::mutex> hold(monitor->settingsLock);
        monitor->settings = settings;
    }
    monitor->reload = 1;
    // A thread still running takes up the reload.
    if (monitor->thread && WaitForSingleObject(monitor->thread.get(), 1) == WAIT_TIMEOUT) return true;
    monitor->threadId = 0;
    monitor->thread.reset(CreateThread(nullptr, 0, PortMonitorThread, monitor, 0, &monitor->threadId));
    return static_cast<bool>(monitor->thread);
}

void DestroyPortMonitor(PortMonitor* monitor) {
    if (monitor == nullptr) return;
    monitor->page = nullptr;  // ends every wait of the thread
    if (monitor->threadId != 0) PostThreadMessageA(monitor->threadId, TMSG_STOP_THREAD, 0, 0);
    // Every wait of the thread ends within a tenth of a second of the stop. A thread that is still
    // running after this is stuck in the system (a driver that does not let go): killing it would
    // leave the port's lock held for ever, so it keeps its port, its record and its handle, and
    // the end of the process takes them.
    if (monitor->thread && !WaitForThreadHandlingSends(monitor->thread.get(), kStopWaitMs)) {
        LogPrintf("COM%d: the port monitor did not end", monitor->portNumber);
        monitor->thread.release();
        return;
    }
    CloseSerialPort(monitor->port);  // drops DTR: the modem lets go of the line
    delete monitor;
}
