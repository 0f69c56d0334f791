// Process-wide state that every thread may read. Written only where the comment says; the flags
// that workers poll are 32-bit atomics, so they are read on every pass without a lock.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr int kBroadcastAddressSize = 20;

struct ProcessState {
    std::atomic<uint32_t> stop;           // UI thread sets 1 when the program stops its work
    std::atomic<uint32_t> role;           // UI thread (role page) and network agent
    uint16_t udpPort;                     // start-up
    char broadcastAddress[kBroadcastAddressSize];  // start-up ("baddr")
    uint32_t popupTextColour;             // start-up, Popup Window page (0x00BBGGRR)
    uint32_t popupBackColour;             // start-up, Popup Window page
    std::atomic<uint32_t> popupsEnabled;  // Popup Window page
    std::atomic<uint32_t> showNoCallerId;  // Popup Window page: a ring cycle without a number is a call too
    std::atomic<uint32_t> popupCloseSeconds;  // Popup Window page
    std::atomic<uint32_t> otherBroadcasterSeen;  // network agent; read by the role page
};

extern ProcessState g_state;

inline constexpr uint32_t kDefaultRole = 1;
inline constexpr uint32_t kDefaultTextColour = 0x000000;
inline constexpr uint32_t kDefaultBackColour = 0xEFEFEF;
inline constexpr uint32_t kDefaultPopupSeconds = 30;

// The values every start begins with, before the settings are read.
void SetProcessDefaults(ProcessState* state);
