// What the detectors report: a recognised call or ring, carried from where it was detected (a port
// monitor, the network agent) to everything that shows it: the popup and the caller log here, and
// the other computers through the network agent. The application defines them (app/call_dispatch).
#pragma once
#include <cstdint>

#include "base/call_record.h"

// A complete call from a modem (port monitor thread); the recogniser calls it once per call.
void DispatchCall(const CallRecord* call);
// A ring from a modem; ringCount counts this ring (the first ring is 1).
void DispatchRing(uint32_t ringCount);
// Shows one call here: phone book name, formatted number, popup, caller log entry. From a port
// monitor or the network agent.
void AnnounceCall(const char* name, const char* number);
