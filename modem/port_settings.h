// The settings of one COM port: how to open it and how to talk to its modem.
#pragma once
#include <cstdint>

inline constexpr int kPortNameSize = 8;
inline constexpr int kModemCommandSize = 64;  // 63 characters and the NUL
inline constexpr int kWindowListSize = 1024;

struct PortSettings {
    char name[kPortNameSize];       // "COM1" to "COM4": device name, value prefix, log prefix
    uint32_t enabled;               // non-zero: the port is monitored
    uint32_t baud_rate;             // bits per second
    uint32_t parity;                // DCB code: 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint32_t stop_bits;             // DCB code: 0 one, 1 one and a half, 2 two
    uint32_t byte_size;             // data bits, 5 to 8
    uint32_t early;                 // non-zero: announce a call as soon as its report is complete
    char init[kModemCommandSize];   // initialisation command; empty: "ATZ"
    char cid[kModemCommandSize];    // caller-ID command; empty: try the known ones
    char hangup1[kModemCommandSize];  // takes the line of a blocked call; empty: "ATH1"
    char hangup2[kModemCommandSize];  // puts it down 1.5 s later; empty: "ATH0"
    char wnd[kWindowListSize];      // window titles, each NUL-terminated, an empty one last
};
