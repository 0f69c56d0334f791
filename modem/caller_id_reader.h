// The caller-ID side of one port, run by its port monitor thread: configuring the modem, one read
// step of its lines, and the end of a call cycle.
#pragma once
#include "modem/blocked_call.h"
#include "modem/caller_id.h"
#include "modem/port_settings.h"
#include "modem/serial_port.h"

// The init command (or "ATZ"), then the configured caller-ID command, or else the known ones in
// turn until one is answered "OK". A modem that refuses them all is watched all the same: some
// report caller ID by themselves. Ring and report lines among the replies go to the call cycle.
void ConfigureModem(const PortSettings& settings, SerialPort* port, CallCycle* cycle);

// Waits up to a second for what the modem sends and interprets each line of it. A call from a
// blocked number (roles 2 and 3) is hung up on: the first hang-up command as soon as the call
// counts as blocked, the second once the pause has passed, then the modem is configured anew.
void ReadCallerIdStep(const PortSettings& settings, SerialPort* port, CallCycle* cycle, HangUpPause* hangUp);

// True while the modem is to be read again at once, without the pause between passes: a report
// may be over, a number waits for the block list, or a hang-up's pause runs.
bool WatchModemClosely(const CallCycle& cycle, const HangUpPause& hangUp);

// Ends the call cycle 12 s after the modem fell silent, and configures the modem anew unless the
// next call is already arriving, or the call was hung up on (the hang-up configured it).
void CheckCallEnd(const PortSettings& settings, SerialPort* port, CallCycle* cycle);
