// One incoming call as the modem reported it, owned by the port monitor that watches the modem.
#pragma once
#include <cstdint>

inline constexpr int kCallTextSize = 16;  // 15 characters and the NUL

struct CallRecord {
    char name[kCallTextSize];    // name line of the modem, or the phone book's name; empty if none
    char number[kCallTextSize];  // number line of the modem, unformatted
    uint32_t announced;          // 1 once the call has been dispatched, so it is shown once
};
