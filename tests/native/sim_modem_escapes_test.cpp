#include "tools/sim_modem/escapes.h"

#include <gtest/gtest.h>

#include <random>
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
        {"", ""},
        {"\\r\\n", "\r\n"},
        {"a\\tb", "a\tb"},
        {"\\\\", "\\"},
        {"\\\\r", "\\r"},  // an escaped backslash, then a plain r
        {"\\x41\\x0d\\x0A", "A\r\n"},
        {"\\x00", std::string(1, '\0')},
        {"\\xff\\xFF", "\xff\xff"},
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

TEST(SimModemEscapes, Encode) {
    EXPECT_EQ("ATZ", EncodeEscapes("ATZ"));
    EXPECT_EQ("a\\\\b\\r\\n\\t", EncodeEscapes("a\\b\r\n\t"));
    EXPECT_EQ("\\x00\\x1b\\x7f\\x80\\xff", EncodeEscapes(std::string("\0\x1b\x7f\x80\xff", 5)));
    EXPECT_EQ("AT#CID=1 ~", EncodeEscapes("AT#CID=1 ~"));
}

TEST(SimModemEscapes, RoundTrip) {
    std::string every;
    for (int i = 0; i < 256; ++i) every += static_cast<char>(i);
    std::mt19937 random(7);
    std::vector<std::string> samples = {every, "", "\\x41", "\\\\"};
    for (int n = 0; n < 200; ++n) {
        std::string sample;
        size_t length = random() % 40;
        for (size_t i = 0; i < length; ++i) sample += static_cast<char>(random() % 256);
        samples.push_back(sample);
    }
    for (const std::string& bytes : samples) {
        std::string encoded = EncodeEscapes(bytes);
        for (char c : encoded) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << encoded;
        std::string decoded;
        std::string error;
        ASSERT_TRUE(DecodeEscapes(encoded, &decoded, &error)) << encoded << ": " << error;
        EXPECT_EQ(bytes, decoded) << encoded;
    }
}

TEST(SimModemRecord, Lines) {
    EXPECT_EQ("", HexBytes("", 0));
    EXPECT_EQ("41545a0d00ff", HexBytes("ATZ\r\0\xff", 6));
    EXPECT_EQ("1.500000 rx 41545a0d\n", RecordLine(1.5, "rx", "41545a0d"));
    EXPECT_EQ("0.000000 open\n", RecordLine(0.0000004, "open", ""));
    EXPECT_EQ("12.345679 cmd AT#CID=1\n", RecordLine(12.3456789, "cmd", "AT#CID=1"));
    EXPECT_EQ("0.000000 close\n", RecordLine(-1, "close", ""));  // never a minus sign
}

}  // namespace
