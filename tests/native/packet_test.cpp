#include "net/packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Packet, BuildsTheLineWithItsZeroByte) {
    struct Case {
        uint32_t stamp;
        const char* payload;
        const char* text;
    } const cases[] = {
        {977, "RNG:2", "Tellwire:977>RNG:2"},
        {0, "Client", "Tellwire:0>Client"},
        {4294967295u, "Server", "Tellwire:4294967295>Server"},
        {12, "CLRID:5551234/SMITH", "Tellwire:12>CLRID:5551234/SMITH"},
        {5, "", "Tellwire:5>"},
    };
    for (const Case& c : cases) {
        char out[kPacketTextSize];
        memset(out, 'x', sizeof out);
        int length = BuildPacket(out, sizeof out, c.stamp, c.payload);
        EXPECT_STREQ(c.text, out);
        EXPECT_EQ(static_cast<int>(strlen(c.text)) + 1, length) << c.text;  // the zero byte travels too
        EXPECT_EQ('\0', out[length - 1]);
    }
}

TEST(Packet, BuildingIsCutToTheBuffer) {
    char out[12];
    memset(out, 'x', sizeof out);
    int length = BuildPacket(out, sizeof out, 977, "RNG:2");
    EXPECT_STREQ("Tellwire:97", out);
    EXPECT_EQ(12, length);
    EXPECT_EQ(0, BuildPacket(nullptr, 10, 1, "x"));
    EXPECT_EQ(0, BuildPacket(out, 0, 1, "x"));
}

TEST(Packet, HeadersAsTheyAreRead) {
    constexpr uint32_t kOwn = 4242;
    struct Case {
        const char* text;
        HeaderResult result;
        uint32_t stamp;
        const char* payload;  // expected text behind ">" when accepted
    } const cases[] = {
        {"Tellwire:977>RNG:2", HeaderResult::Accepted, 977, "RNG:2"},
        {"Tellwire:>Client", HeaderResult::Accepted, 0, "Client"},  // no digits: stamp 0
        {"TELLWIRE:1>Server", HeaderResult::Accepted, 1, "Server"},  // the product name in any case
        {"Tellwire:1>", HeaderResult::Accepted, 1, ""},
        {"Tellwire:4294967297>x", HeaderResult::Accepted, 1, "x"},  // the stamp wraps at 32 bits
        {"Tellwire:4242>Server", HeaderResult::Own, 4242, nullptr},
        {"Tellwire:4242", HeaderResult::Own, 4242, nullptr},     // own, even cut short: never logged
        {"Tellwire:4242xyz", HeaderResult::Own, 4242, nullptr},
        {"Tellwira:1>Server", HeaderResult::Wrong, 0, nullptr},  // another product
        {"Tellwir", HeaderResult::Wrong, 0, nullptr},
        {"", HeaderResult::Wrong, 0, nullptr},
        {"Tellwire1>Server", HeaderResult::Wrong, 0, nullptr},  // no ":"
        {"Tellwire 1>Server", HeaderResult::Wrong, 0, nullptr},
        {"Tellwire:1Server", HeaderResult::Wrong, 1, nullptr},  // no ">"
        {"Tellwire:1 >Server", HeaderResult::Wrong, 1, nullptr},
        {"Tellwire:", HeaderResult::Wrong, 0, nullptr},
    };
    for (const Case& c : cases) {
        PacketHeader header = ReadPacketHeader(c.text, kOwn);
        EXPECT_EQ(c.result, header.result) << c.text;
        EXPECT_EQ(c.stamp, header.stamp) << c.text;
        if (c.payload != nullptr) {
            ASSERT_NE(nullptr, header.payload) << c.text;
            EXPECT_STREQ(c.payload, header.payload) << c.text;
            EXPECT_EQ(c.text + strlen(c.text) - strlen(c.payload), header.payload);  // points into the text
        } else {
            EXPECT_EQ(nullptr, header.payload) << c.text;
        }
    }
}

TEST(Packet, AStampOfZeroMakesAnEmptyStampOwn) {
    EXPECT_EQ(HeaderResult::Own, ReadPacketHeader("Tellwire:>Client", 0).result);
    EXPECT_EQ(HeaderResult::Own, ReadPacketHeader("Tellwire:0>Client", 0).result);
}

TEST(Packet, KeywordsMatchAtTheStartWithoutRegardToCase) {
    struct Case {
        const char* text;
        const char* keyword;
        size_t length;
    } const cases[] = {
        {"Server", "Server", 6}, {"server", "Server", 6}, {"SERVER:x", "Server", 6},
        {"Serve", "Server", 0},  // shorter than the keyword
        {"Serverless", "Server", 6}, {" Server", "Server", 0}, {"rng:3", "RNG", 3},
        {"", "RNG", 0}, {"CLRI", "CLRID", 0}, {"x", "", 0},
        {nullptr, "RNG", 0}, {"RNG", nullptr, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.length, MatchKeyword(c.text, c.keyword)) << (c.text ? c.text : "(none)");
    }
}

TEST(Packet, PayloadKindsInTheirOrder) {
    struct Case {
        const char* payload;
        PayloadKind kind;
    } const cases[] = {
        {"Server", PayloadKind::Server},      {"server", PayloadKind::Server},
        {"SERVER:x", PayloadKind::Server},    {"Serve", PayloadKind::Unknown},
        {"Client", PayloadKind::Client},      {"clientele", PayloadKind::Client},
        {"RNG:2", PayloadKind::Ring},         {"rng", PayloadKind::Ring},
        {"CLRID:555/SMITH", PayloadKind::Call}, {"clrid", PayloadKind::Call},
        {"", PayloadKind::Unknown},           {"Hello", PayloadKind::Unknown},
        {nullptr, PayloadKind::Unknown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.kind, ClassifyPayload(c.payload)) << (c.payload ? c.payload : "(none)");
    }
}

TEST(Packet, CallPayloadGrammar) {
    struct Case {
        const char* payload;
        bool valid;
        const char* number;
        const char* name;
    } const cases[] = {
        {"CLRID:555/SMITH", true, "555", "SMITH"},
        {"CLRID : 555/", true, "555", ""},
        {"clrid\t:\r\n 0123456789/O'Brien, Pat", true, "0123456789", "O'Brien, Pat"},
        {"CLRID:55/a/b", true, "55", "a/b"},  // the name is the whole rest
        // Whatever the broadcaster's modem reported stands as the number.
        {"CLRID:P/", true, "P", ""},  // withheld; one character
        {"CLRID:555-1234/SMITH", true, "555-1234", "SMITH"},
        {"CLRID:555 1234 /SMITH", true, "555 1234 ", "SMITH"},
        // A name cannot plant a line of its own in the caller log.
        {"CLRID:555/EVE\r\n2024-01-01 12:00:00 5551234 FORGED", true, "555", "EVE  2024-01-01 12:00:00 5551234 FORGED"},
        {"CLRID:555\x01" "1234/SMITH", false, "", ""},  // a control character in the number
        {"CLRID:555", false, "", ""},          // no slash
        {"CLRID555/SMITH", false, "", ""},     // no ":"
        {"CLRID:/SMITH", false, "", ""},       // no number
        {"RNG:2", false, "", ""},
        {"", false, "", ""},
        {nullptr, false, "", ""},
    };
    for (const Case& c : cases) {
        CallPayload call = ReadCallPayload(c.payload);
        const char* shown = c.payload ? c.payload : "(none)";
        EXPECT_EQ(c.valid, call.valid) << shown;
        EXPECT_STREQ(c.number, call.number) << shown;
        EXPECT_STREQ(c.name, call.name) << shown;
    }
}

TEST(Packet, CallNumbersOfUpTo255CharactersAndNamesCutTo255) {
    std::string number255(255, '7');
    CallPayload call = ReadCallPayload(("CLRID:" + number255 + "/N").c_str());
    EXPECT_TRUE(call.valid);
    EXPECT_EQ(number255, call.number);
    EXPECT_FALSE(ReadCallPayload(("CLRID:" + number255 + "7/N").c_str()).valid);  // 256 characters

    std::string name255(255, 'n');
    call = ReadCallPayload(("CLRID:555/" + name255).c_str());
    EXPECT_TRUE(call.valid);
    EXPECT_EQ(name255, call.name);
    call = ReadCallPayload(("CLRID:555/" + name255 + "TAIL").c_str());
    EXPECT_TRUE(call.valid);
    EXPECT_EQ(name255, call.name);  // the first 255 characters
}

TEST(Packet, DottedAddressOrHostName) {
    struct Case {
        const char* host;
        bool dotted;
    } const cases[] = {
        {"255.255.255.255", true}, {"192.168.1.20", true}, {"127.0.0.1", true},
        {"  10.0.0.1", true},      {"+1.2.3.4", true},     {"1host", true},
        {"0.0.0.0", false},        {"0", false},           {"-1.2.3.4", false},
        {"localhost", false},      {"pc-kitchen", false},  {"", false},
        {"99999999999999999999", true},  // atoi's reading, held positive past INT_MAX
        {nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.dotted, IsDottedAddress(c.host)) << (c.host ? c.host : "(none)");
    }
}

TEST(Packet, SenderText) {
    const unsigned char address[4] = {192, 168, 1, 20};
    char out[kSenderTextSize];
    EXPECT_EQ(12u, FormatSenderText(out, sizeof out, address));
    EXPECT_STREQ("192.168.1.20", out);
    const unsigned char widest[4] = {255, 255, 255, 255};
    FormatSenderText(out, sizeof out, widest);
    EXPECT_STREQ("255.255.255.255", out);
    char small[8];
    FormatSenderText(small, sizeof small, widest);
    EXPECT_STREQ("255.255", small);
}

}  // namespace
