#include "app/call_routing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CallRouting, ByRole) {
    struct Case {
        uint32_t role;
        const char* number;
        bool announce, broadcast, rings;
    } const cases[] = {
        {1, "555", false, false, false},  // listens to the network only
        {2, "555", true, false, false},
        {3, "555", true, true, true},
        {3, "", true, false, true},       // nothing to broadcast without a number
        {7, "555", false, false, false},  // a stray stored role does nothing
    };
    for (const Case& c : cases) {
        CallRouting routing = RouteModemCall(c.role, c.number);
        EXPECT_EQ(c.announce, routing.announce) << c.role;
        EXPECT_EQ(c.broadcast, routing.broadcast) << c.role;
        EXPECT_EQ(c.rings, BroadcastsRings(c.role)) << c.role;
    }
}

TEST(CallRouting, Texts) {
    char text[64];
    FormatCallText(text, sizeof text, "555", "SMITH");
    EXPECT_STREQ("CLRID:555/SMITH", text);
    FormatCallText(text, sizeof text, "555", "");
    EXPECT_STREQ("CLRID:555/", text);
    FormatRingText(text, sizeof text, 3);
    EXPECT_STREQ("RNG:3", text);
    FormatPopupText(text, sizeof text, "SMITH", "555 12 34");
    EXPECT_STREQ("SMITH\r\n555 12 34", text);
    FormatPopupText(text, sizeof text, "", "555 12 34");
    EXPECT_STREQ("\r\n555 12 34", text);  // no name: an empty first line
    FormatPopupText(text, sizeof text, "SMITH", "");
    EXPECT_STREQ("SMITH", text);          // the template emptied the number: the name alone
    char small[8];
    EXPECT_EQ(7u, FormatCallText(small, sizeof small, "5551234567", "LONG NAME"));
    EXPECT_STREQ("CLRID:5", small);
}

}  // namespace
