// What this computer does with a call and a ring, by its role: show it (roles 2 and 3) and hand it
// to the other computers (role 3), and the texts in which calls and rings travel.
#pragma once
#include <cstddef>
#include <cstdint>

struct CallRouting {
    bool announce;   // popup and caller log here
    bool broadcast;  // CLRID text to the network agent
};

CallRouting RouteModemCall(uint32_t role, const char* number);
bool BroadcastsRings(uint32_t role);

// "CLRID:number/name" and "RNG:count", cut to the buffer.
size_t FormatCallText(char* out, size_t outSize, const char* number, const char* name);
size_t FormatRingText(char* out, size_t outSize, uint32_t ringCount);

// The popup's text: the name over the formatted number; the name alone when the number's
// template made it empty (an empty popup would tell the user nothing).
size_t FormatPopupText(char* out, size_t outSize, const char* name, const char* formattedNumber);
