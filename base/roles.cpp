#include "base/roles.h"

#include "base/process_state.h"

uint32_t GetRole() { return g_state.role.load(std::memory_order_relaxed); }

int RoleUsesModem() {
    uint32_t role = GetRole();
    return role == kRoleModem || role == kRoleBroadcast;
}

int RoleUsesNetwork() {
    uint32_t role = GetRole();
    return role == kRoleListen || role == kRoleBroadcast;
}
