#include "base/roles.h"

#include <gtest/gtest.h>

#include "base/process_state.h"

namespace {

TEST(Roles, WhatEachRoleUses) {
    struct Case {
        uint32_t role;
        int modem;
        int network;
    } const cases[] = {
        {1, 0, 1}, {2, 1, 0}, {3, 1, 1},
        {0, 0, 0}, {7, 0, 0}, {0xFFFFFFFF, 0, 0},  // a stray stored value uses nothing
    };
    for (const Case& c : cases) {
        g_state.role = c.role;
        EXPECT_EQ(c.role, GetRole());
        EXPECT_EQ(c.modem, RoleUsesModem()) << "role " << c.role;
        EXPECT_EQ(c.network, RoleUsesNetwork()) << "role " << c.role;
    }
    SetProcessDefaults(&g_state);
    EXPECT_EQ(1u, GetRole());
}

TEST(ProcessState, Defaults) {
    ProcessState state;
    state.stop = 1;
    state.popupsEnabled = 0;
    SetProcessDefaults(&state);
    EXPECT_EQ(0u, state.stop);
    EXPECT_EQ(30307, state.udpPort);
    EXPECT_EQ(1u, state.popupsEnabled);
    EXPECT_EQ(30u, state.popupCloseSeconds);
    EXPECT_EQ(0xEFEFEFu, state.popupBackColour);
    EXPECT_EQ(0u, state.popupTextColour);
    EXPECT_EQ(0u, state.otherBroadcasterSeen);
}

}  // namespace
