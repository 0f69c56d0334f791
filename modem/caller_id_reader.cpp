#include "modem/caller_id_reader.h"

#include <windows.h>

#include <cstring>

#include "base/call_events.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/text_utils.h"
#include "base/win_clock.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "modem/modem_command.h"
#include "modem/thread_messages.h"
#include "present/phone_book_lookup.h"

namespace {

constexpr uint32_t kReadStepMs = 1000;
constexpr const char* kAutomaticCallerIdCommands[] = {"AT#CID=1", "AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"};

// The call is complete: the phone book names the caller, and everything that shows calls gets it.
void CompleteCall(CallCycle* cycle) {
    char contact[kCallTextSize];
    if (!IsNumberWithheld(cycle->call.number) && LookupPhoneBook(cycle->call.number, contact, sizeof contact)) {
        CopyText(cycle->call.name, sizeof cycle->call.name, contact);
    }
    DispatchCall(&cycle->call);
    cycle->call.announced = 1;
}

void InterpretLine(const PortSettings& settings, CallCycle* cycle, const char* line) {
    LineOutcome outcome =
        InterpretCallerIdLine(cycle, line, GetTickCount(), g_state.showNoCallerId != 0, settings.early != 0);
    if (outcome.finished) LogPrintf("%s: call finished", settings.name);
    LogPrintf("%s: %s", settings.name, line);
    if (outcome.badReport) LogPrintf("%s: bad caller-ID report", settings.name);
    if (outcome.ring) {
        DispatchRing(cycle->rings);
        PostMessageA(g_win.mainWindow, WM_COMMAND, CMD_RING, 0);  // posted: the reader never waits for the window
    }
    if (outcome.complete) CompleteCall(cycle);
}

// A call that begins while the modem is being configured answers among the replies: its ring and
// report lines are taken from there, so the call is not lost to the configuration.
void TakeCallLines(const PortSettings& settings, CallCycle* cycle, const char* reply) {
    size_t at = 0;
    char line[kCallerIdLineSize];
    size_t size = strnlen(reply, kModemReplySize);
    while (NextCallerIdLine(reply, size, &at, line, sizeof line)) {
        if (ClassifyCallerIdLine(line) == CallerIdLineKind::Other) continue;  // logged with the exchange
        cycle->lastDataTick = GetTickCount();
        InterpretLine(settings, cycle, line);
    }
}

}  // namespace

void ConfigureModem(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    // A reply buffer of 4 KB is too much for a worker's stack habits; it lives on the heap.
    char* reply = static_cast<char*>(LocalAlloc(LPTR, kModemReplySize));
    if (reply == nullptr) return;
    auto send = [&](const char* command, const char* expected) {
        SendModemCommand(port, command, expected, reply);
        TakeCallLines(settings, cycle, reply);
        return !StopRequested();
    };
    // Once the modem was reset, caller ID must be switched on again even while a call rings:
    // without it the modem would keep every later caller to itself.
    if (send(settings.init[0] != '\0' ? settings.init : "ATZ", nullptr)) {
        if (settings.cid[0] != '\0') {
            send(settings.cid, nullptr);
        } else {
            for (const char* command : kAutomaticCallerIdCommands) {
                if (!send(command, "OK") || FindTextNoCase(reply, "OK") != nullptr) break;
            }
        }
    }
    LocalFree(reply);
}

void ReadCallerIdStep(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    char received[kCallerIdReadSize];
    const uint32_t start = GetTickCount();
    for (;;) {
        // A report that may be over is watched closely: its call is shown once its lines stop.
        uint32_t total = WaitForLine(port, cycle->reportOpen ? kReportQuietMs : kReadStepMs, 0, received, sizeof received);
        if (total < 1) break;
        cycle->lastDataTick = GetTickCount();
        size_t at = 0;
        char line[kCallerIdLineSize];
        while (NextCallerIdLine(received, total, &at, line, sizeof line)) InterpretLine(settings, cycle, line);
        if (port->lostError != 0) return;
        // A full buffer says more is waiting. One buffer a pass is a few hundred bytes a second:
        // behind a burst of line noise or a chatty modem the driver's queue would stay full, and
        // the next call would come through minutes late or not at all. So the step reads on, for
        // its second at most, so that the monitor still sees a stop, a reload or a fax program.
        if (total < sizeof received - 2 && !cycle->reportOpen) break;
        if (TicksSince(start) >= kReadStepMs || !PumpThreadMessages()) break;
    }
    if (ReportCompleteAfterQuiet(cycle, GetTickCount())) CompleteCall(cycle);
}

void CheckCallEnd(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    if (!EndCallCycleIfSilent(cycle, GetTickCount())) return;
    LogPrintf("%s: call finished", settings.name);
    // Bytes waiting now are the next call, already reporting: a reset would cut its report off.
    // The modem is configured at that call's end instead.
    if (port != nullptr && SerialInputQueued(port) == 0) ConfigureModem(settings, port, cycle);
}
