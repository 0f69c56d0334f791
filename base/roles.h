// The three roles a computer can play. Read on every use, from any thread, without a lock.
#pragma once
#include <cstdint>

inline constexpr uint32_t kRoleListen = 1;     // accept calls from the network, no modem
inline constexpr uint32_t kRoleModem = 2;      // watch the own modem only
inline constexpr uint32_t kRoleBroadcast = 3;  // watch the own modem and broadcast its calls

uint32_t GetRole();
// 1 for roles 2 and 3; any other stored value (an old or hand-edited "role") uses nothing.
int RoleUsesModem();
// 1 for roles 1 and 3.
int RoleUsesNetwork();
