#include "modem/caller_id_reader.h"

#include <windows.h>

#include <memory>
#include <new>

#include "base/call_events.h"
#include "base/messages.h"
#include "base/process_state.h"
#include "base/roles.h"
#include "base/text_utils.h"
#include "base/win_clock.h"
#include "base/win_state.h"
#include "diag/program_log.h"
#include "modem/command_text.h"
#include "modem/modem_command.h"
#include "modem/thread_messages.h"
#include "present/block_list_lookup.h"
#include "present/caller_log_page.h"
#include "present/phone_book_lookup.h"

namespace {

constexpr uint32_t kReadStepMs = 1000;
constexpr const char* kAutomaticCallerIdCommands[] = {"AT#CID=1", "AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"};

// The phone book's name for the caller, in place of the one the modem reported.
void NameFromPhoneBook(CallCycle* cycle) {
    char contact[kCallTextSize];
    if (!IsNumberWithheld(cycle->call.number) && LookupPhoneBook(cycle->call.number, contact, sizeof contact)) {
        CopyText(cycle->call.name, sizeof cycle->call.name, contact);
    }
}

// The call is complete: the phone book names the caller, and everything that shows calls gets it.
void CompleteCall(CallCycle* cycle) {
    NameFromPhoneBook(cycle);
    DispatchCall(&cycle->call);
    cycle->call.announced = 1;
}

// Once its number can be held against the block list, a blocked call goes nowhere from then on;
// the modem is told to hang up at the end of the lines at hand. Only on the modem's own computer
// (roles 2 and 3): in role 1 the modem's calls are neither shown nor hung up on.
void CheckBlockList(CallCycle* cycle, uint32_t now) {
    if (!BlockCheckDue(cycle, now) || !RoleUsesModem() || !IsNumberBlocked(cycle->call.number)) return;
    cycle->blocked = true;
    cycle->hangUpWanted = true;
}

void InterpretLine(const PortSettings& settings, CallCycle* cycle, const char* line) {
    uint32_t now = GetTickCount();
    LineOutcome outcome = InterpretCallerIdLine(cycle, line, now, g_state.showNoCallerId != 0, settings.early != 0);
    if (outcome.finished) LogPrintf("%s: call finished", settings.name);
    LogPrintf("%s: %s", settings.name, line);
    if (outcome.badReport) LogPrintf("%s: bad caller-ID report", settings.name);
    CheckBlockList(cycle, now);
    if (outcome.ring && !cycle->blocked) {
        DispatchRing(cycle->rings);
        PostMessageA(g_win.mainWindow, WM_COMMAND, CMD_RING, 0);  // posted: the reader never waits for the window
    }
    if (outcome.complete && !cycle->blocked) CompleteCall(cycle);
}

// A call that begins while the modem is being configured answers among the replies: its ring and
// report lines are taken from there, so the call is not lost to the configuration.
void TakeCallLines(const PortSettings& settings, CallCycle* cycle, const char* reply, size_t length) {
    size_t at = 0;
    char line[kCallerIdLineSize];
    while (NextCallerIdLine(reply, length, &at, line, sizeof line)) {
        if (ClassifyCallerIdLine(line) == CallerIdLineKind::Other) continue;  // logged with the exchange
        cycle->lastDataTick = GetTickCount();
        InterpretLine(settings, cycle, line);
    }
}

// Sends a command that expects "OK"; true when the modem answered it with anything but ERROR.
// Ring and report lines among the reply go to the call cycle.
bool SendCommandTakingLines(const PortSettings& settings, SerialPort* port, CallCycle* cycle, const char* command) {
    std::unique_ptr<char[]> reply(new (std::nothrow) char[kModemReplySize]());
    if (!reply) return false;
    size_t length = SendModemCommand(port, command, "OK", reply.get());
    TakeCallLines(settings, cycle, reply.get(), length);
    // A modem that takes the line with "ATA" may answer "NO CARRIER" rather than "OK": only an
    // ERROR, or no answer at all, is a refusal.
    return length > 0 && JudgeReply(reply.get(), length, "OK") != ReplyVerdict::Error;
}

// The modem takes the line, so the caller is cut off and the phone stops ringing after at most
// one more ring; the second command puts it down once the pause has passed. The call goes into
// the caller log all the same, so the user can see who was kept away.
void HangUpOnBlockedCall(const PortSettings& settings, SerialPort* port, CallCycle* cycle, HangUpPause* hangUp) {
    cycle->hangUpWanted = false;
    const char* command = settings.hangup1[0] != '\0' ? settings.hangup1 : kDefaultHangUpCommand;
    if (!SendCommandTakingLines(settings, port, cycle, command)) {
        // The user still sees the call: better a call shown than one that rings unexplained.
        LogPrintf("%s: the modem refused \"%s\", the blocked call from %s goes on", settings.name, command,
                  cycle->call.number);
        cycle->blocked = false;
        if (cycle->rings >= 2 && cycle->call.announced == 0) CompleteCall(cycle);  // its second ring came meanwhile
        return;
    }
    StartHangUpPause(hangUp, GetTickCount());
    LogPrintf("%s: blocked call from %s, hung up", settings.name, cycle->call.number);
    NameFromPhoneBook(cycle);  // logged as a call shown would be
    cycle->call.announced = 1;
    AddCallerLogEntry(cycle->call.name, cycle->call.number);
    // Its first ring started the tray's blinking and the ring sound before the number was known.
    PostMessageA(g_win.mainWindow, WM_COMMAND, CMD_CALL_BLOCKED, 0);
}

void FinishHangUp(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    SendCommandTakingLines(settings, port, cycle, settings.hangup2[0] != '\0' ? settings.hangup2 : kDefaultHangUpCommand2);
    ConfigureModem(settings, port, cycle);  // as after a call: a modem reset by the commands reports caller ID again
}

}  // namespace

bool WatchModemClosely(const CallCycle& cycle, const HangUpPause& hangUp) {
    return cycle.reportOpen || BlockCheckPending(cycle) || hangUp.running;
}

void ConfigureModem(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    // A reply buffer of 4 KB is too much for a worker's stack habits; it lives on the heap.
    std::unique_ptr<char[]> reply(new (std::nothrow) char[kModemReplySize]());
    if (!reply) return;
    auto send = [&](const char* command, const char* expected) {
        TakeCallLines(settings, cycle, reply.get(), SendModemCommand(port, command, expected, reply.get()));
        return !StopRequested();
    };
    // Once the modem was reset, caller ID must be switched on again even while a call rings:
    // without it the modem would keep every later caller to itself.
    if (!send(settings.init[0] != '\0' ? settings.init : "ATZ", nullptr)) return;
    if (settings.cid[0] != '\0') {
        send(settings.cid, nullptr);
        return;
    }
    for (const char* command : kAutomaticCallerIdCommands) {
        if (!send(command, "OK") || FindTextNoCase(reply.get(), "OK") != nullptr) break;
    }
}

void ReadCallerIdStep(const PortSettings& settings, SerialPort* port, CallCycle* cycle, HangUpPause* hangUp) {
    char received[kCallerIdReadSize];
    const uint32_t start = GetTickCount();
    for (;;) {
        // A report that may be over is watched closely: its call is shown, or its number held
        // against the block list, once its lines stop.
        bool closely = cycle->reportOpen || BlockCheckPending(*cycle);
        uint32_t wait = WaitWithinHangUpPause(*hangUp, GetTickCount(), closely ? kReportQuietMs : kReadStepMs);
        uint32_t total = WaitForLine(port, wait, 0, received, sizeof received);
        if (total < 1) break;
        cycle->lastDataTick = GetTickCount();
        size_t at = 0;
        char line[kCallerIdLineSize];
        while (NextCallerIdLine(received, total, &at, line, sizeof line)) InterpretLine(settings, cycle, line);
        if (port->lostError != 0) return;
        if (cycle->hangUpWanted) HangUpOnBlockedCall(settings, port, cycle, hangUp);
        // A full buffer says more is waiting. One buffer a pass is a few hundred bytes a second:
        // behind a burst of line noise or a chatty modem the driver's queue would stay full, and
        // the next call would come through minutes late or not at all. So the step reads on, for
        // its second at most, so that the monitor still sees a stop, a reload or a fax program.
        if (total < sizeof received - 2 && !closely) break;
        if (TicksSince(start) >= kReadStepMs || !PumpThreadMessages()) break;
    }
    uint32_t now = GetTickCount();
    CheckBlockList(cycle, now);
    if (cycle->hangUpWanted) HangUpOnBlockedCall(settings, port, cycle, hangUp);
    if (ReportCompleteAfterQuiet(cycle, now) && !cycle->blocked) CompleteCall(cycle);
    if (HangUpPauseOver(hangUp, GetTickCount())) FinishHangUp(settings, port, cycle);
}

void CheckCallEnd(const PortSettings& settings, SerialPort* port, CallCycle* cycle) {
    bool hungUp = cycle->blocked;
    if (!EndCallCycleIfSilent(cycle, GetTickCount())) return;
    LogPrintf("%s: call finished", settings.name);
    // Bytes waiting now are the next call, already reporting: a reset would cut its report off.
    // The modem is configured at that call's end instead.
    if (port != nullptr && !hungUp && SerialInputQueued(port) == 0) ConfigureModem(settings, port, cycle);
}
