#include "net/packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Packet, BuiltWithItsZeroByte) {
    char out[12];
    EXPECT_EQ(12, BuildPacket(out, sizeof out, 977, "RNG:2"));  // the zero byte travels too
    EXPECT_STREQ("Tellwire:97", out);                         // cut to the buffer, and ended
    char whole[kPacketTextSize];
    EXPECT_EQ(27, BuildPacket(whole, sizeof whole, 4294967295u, "Server"));
    EXPECT_STREQ("Tellwire:4294967295>Server", whole);
}

TEST(Packet, HeadersAsTheyAreRead) {
    struct Case {
        const char* text;
        uint32_t own;
        HeaderResult result;
        uint32_t stamp;
        const char* payload;  // the text behind ">" when accepted
    } const cases[] = {
        {"Tellwire:977>RNG:2", 4242, HeaderResult::Accepted, 977, "RNG:2"},
        {"Tellwire:>Client", 4242, HeaderResult::Accepted, 0, "Client"},  // no digits: stamp 0
        {"TELLWIRE:1>Server", 4242, HeaderResult::Accepted, 1, "Server"},  // the product name in any case
        {"Tellwire:4294967297>x", 4242, HeaderResult::Accepted, 1, "x"},  // the stamp wraps at 32 bits
        {"Tellwire:4242>Server", 4242, HeaderResult::Own, 4242, nullptr},
        {"Tellwire:4242xyz", 4242, HeaderResult::Own, 4242, nullptr},     // own, even cut short: never logged
        {"Tellwire:>Client", 0, HeaderResult::Own, 0, nullptr},           // a stamp of 0 makes an empty one own
        {"Tellwira:1>Server", 4242, HeaderResult::Wrong, 0, nullptr},     // another product
        {"Tellwire1>Server", 4242, HeaderResult::Wrong, 0, nullptr},      // no ":"
        {"Tellwire:1Server", 4242, HeaderResult::Wrong, 1, nullptr},      // no ">"
    };
    for (const Case& c : cases) {
        PacketHeader header = ReadPacketHeader(c.text, c.own);
        EXPECT_EQ(c.result, header.result) << c.text;
        EXPECT_EQ(c.stamp, header.stamp) << c.text;
        EXPECT_STREQ(c.payload, header.payload) << c.text;
    }
}

TEST(Packet, CallPayloadGrammar) {
    struct Case { std::string payload; bool valid; std::string number; std::string name; } const cases[] = {
        {"CLRID:555/SMITH", true, "555", "SMITH"},
        {"clrid\t:\r\n 0123456789/O'Brien, Pat", true, "0123456789", "O'Brien, Pat"},
        {"CLRID:55/a/b", true, "55", "a/b"},  // the name is the whole rest
        // Whatever the broadcaster's modem reported stands as the number.
        {"CLRID:P/", true, "P", ""},  // withheld; one character
        {"CLRID:555 1234 /SMITH", true, "555 1234 ", "SMITH"},
        {"CLRID:" + std::string(255, '7') + "/N", true, std::string(255, '7'), "N"},
        {"CLRID:555/" + std::string(300, 'n'), true, "555", std::string(255, 'n')},  // the first 255
        // A name cannot plant a line of its own in the caller log.
        {"CLRID:555/EVE\r\n2024-01-01 12:00:00 5551234 FORGED", true, "555", "EVE  2024-01-01 12:00:00 5551234 FORGED"},
        {"CLRID:555\x01" "1234/SMITH", false, "", ""},  // a control character in the number
        {"CLRID:" + std::string(256, '7') + "/N", false, "", ""},
        {"CLRID:555", false, "", ""},          // no slash
        {"CLRID:/SMITH", false, "", ""},       // no number
    };
    for (const Case& c : cases) {
        CallPayload call = ReadCallPayload(c.payload.c_str());
        EXPECT_EQ(c.valid, call.valid) << c.payload;
        EXPECT_EQ(c.number, call.number) << c.payload;
        EXPECT_EQ(c.name, call.name) << c.payload;
    }
}

// A host whose leading number (read as atoi does) is above 0 is sent to as an address; any other
// is a name to resolve.
TEST(Packet, DottedAddressOrHostName) {
    struct Case { const char* host; bool dotted; } const cases[] = {
        {"255.255.255.255", true}, {"  10.0.0.1", true}, {"+1.2.3.4", true}, {"1host", true},
        {"99999999999999999999", true},  // atoi's reading, held positive past INT_MAX
        {"0.0.0.0", false}, {"-1.2.3.4", false}, {"pc-kitchen", false}, {"", false}, {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.dotted, IsDottedAddress(c.host)) << (c.host ? c.host : "(none)");
    }
}

}  // namespace
