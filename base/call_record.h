// One incoming call as the modem reported it, owned by the port monitor that watches the modem.
#pragma once
#include <cstdint>

inline constexpr int kCallTextSize = 16;  // 15 characters and the NUL

struct CallRecord {
    char name[kCallTextSize];    // name line of the modem, or the phone book's name; empty if none
    char number[kCallTextSize];  // number line of the modem, unformatted
    uint32_t announced;          // 1 once the call has been dispatched, so it is shown once
};

// The number of a call that came without caller ID (shown only when the user asked for it).
inline constexpr char kNoCallerIdNumber[] = "-";

// "P" (withheld) or "O" (out of area): what the line says instead of a number. The log and the
// network keep the letter; the screen shows it in words, and no contact is looked up for it.
inline bool IsNumberWithheld(const char* number) {
    return number != nullptr && (number[0] == 'P' || number[0] == 'O') && number[1] == '\0';
}
