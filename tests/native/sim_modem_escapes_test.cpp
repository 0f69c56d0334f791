#include "tools/sim_modem/escapes.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/sim_modem/record_line.h"

namespace {

using namespace sim_modem;

TEST(SimModemEscapes, Decode) {
    struct Case {
        std::string text;
        std::string bytes;
    } const cases[] = {
        {"RING", "RING"},
        {"\\r\\n", "\r\n"},
        {"\\\\r", "\\r"},  // an escaped backslash, then a plain r
        {"\\x41\\x0d\\x0A", "A\r\n"},
        {"\\x414", "A4"},  // two digits, no more
        {"caf\xe9", "caf\xe9"},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        std::string error;
        EXPECT_TRUE(DecodeEscapes(c.text, &bytes, &error)) << c.text << ": " << error;
        EXPECT_EQ(c.bytes, bytes) << c.text;
    }
}

TEST(SimModemEscapes, DecodeRejectsMistypedEscapes) {
    const char* const wrong[] = {"\\", "ab\\", "\\q", "\\x", "\\x4", "\\x4g", "\\R", "\\0"};
    for (const char* text : wrong) {
        std::string bytes = "untouched";
        std::string error;
        EXPECT_FALSE(DecodeEscapes(text, &bytes, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ("untouched", bytes) << text;
    }
}

// The record's "cmd" lines are read as written: printable text stays as it is.
TEST(SimModemEscapes, RoundTrip) {
    EXPECT_EQ("AT#CID=1 ~", EncodeEscapes("AT#CID=1 ~"));
    std::string every;
    for (int i = 0; i < 256; ++i) every += static_cast<char>(i);
    for (const std::string& bytes : {every, std::string("\\x41\\\\r\\"), std::string()}) {
        std::string encoded = EncodeEscapes(bytes);
        for (char c : encoded) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << encoded;
        std::string decoded;
        std::string error;
        ASSERT_TRUE(DecodeEscapes(encoded, &decoded, &error)) << encoded << ": " << error;
        EXPECT_EQ(bytes, decoded) << encoded;
    }
}

TEST(SimModemRecord, Lines) {
    EXPECT_EQ("41545a0d00ff", HexBytes("ATZ\r\0\xff", 6));
    EXPECT_EQ("1.500000 rx 41545a0d\n", RecordLine(1.5, "rx", "41545a0d"));
    EXPECT_EQ("12.345679 cmd AT#CID=1\n", RecordLine(12.3456789, "cmd", "AT#CID=1"));
    EXPECT_EQ("0.000000 close\n", RecordLine(-1, "close", ""));  // never a minus sign
}

}  // namespace
