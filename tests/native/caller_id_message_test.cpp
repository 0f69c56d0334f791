#include "modem/caller_id_message.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "modem/caller_id.h"

namespace {

using Parameters = std::vector<std::pair<int, std::string>>;

// A message as the line sends it: type, length, data, and the byte that makes the sum 0.
std::string Hex(int type, const std::string& data, int checksumError = 0) {
    std::string bytes = std::string(1, static_cast<char>(type)) + static_cast<char>(data.size()) + data;
    unsigned sum = 0;
    for (char c : bytes) sum += static_cast<unsigned char>(c);
    bytes += static_cast<char>((0x100 - sum % 0x100 + checksumError) % 0x100);
    std::string hex;
    for (char c : bytes) {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

std::string Multiple(const Parameters& parameters, int checksumError = 0) {
    std::string data;
    for (const auto& [type, value] : parameters) data += std::string(1, static_cast<char>(type)) + static_cast<char>(value.size()) + value;
    return Hex(0x80, data, checksumError);
}

TEST(CallerIdMessage, Reports) {
    struct Case {
        std::string text;
        CallerIdMessageResult result;
        const char* dateTime;
        const char* number;
        const char* name;
    } const cases[] = {
        // Written out by hand, so that the helpers above cannot hide a fault they share with the decoder.
        {"802001083132303631343330020A3535353132333435363707084A4F484E20444F4579", CallerIdMessageResult::Report,
         "12061430", "5551234567", "JOHN DOE"},
        {" 04123132303631343330353535313233343536374E ", CallerIdMessageResult::Report, "12061430", "5551234567", ""},
        {Hex(0x04, "12061430P"), CallerIdMessageResult::Report, "12061430", "P", ""},
        // Parameters in any order, unknown ones skipped, the reason standing in for a missing number.
        {Multiple({{7, "ANNA"}, {3, "xyz"}, {4, "O"}, {1, "01020304"}}), CallerIdMessageResult::Report, "01020304", "O",
         "ANNA"},
        {Multiple({{4, "P"}, {2, "5551234"}}), CallerIdMessageResult::Report, "", "5551234", ""},
        {Multiple({{8, "P"}, {2, "5551234"}}), CallerIdMessageResult::Report, "", "5551234", ""},
        {Multiple({{7, "Jos\xe9 Mu\xf1oz Garc\xed" "a L\xf3pez"}, {2, "12345678901234567890"}}),
         CallerIdMessageResult::Report, "", "123456789012345", "Jos\xe9 Mu\xf1oz Garc"},
        {Multiple({{7, std::string("A\x01" "B\0C", 5)}}), CallerIdMessageResult::Report, "", "", "A B"},
        // Reports that give nothing.
        {Multiple({{2, "5551234"}}, 1), CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "0", CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "x", CallerIdMessageResult::Bad, "", "", ""},
        {Multiple({{2, "5551234"}}) + "00", CallerIdMessageResult::Bad, "", "", ""},
        {Hex(0x80, std::string("\x02\x0a" "5551234")), CallerIdMessageResult::Bad, "", "", ""},  // a length past the end
        {Hex(0x04, "1206"), CallerIdMessageResult::Bad, "", "", ""},
        {"80", CallerIdMessageResult::Bad, "", "", ""},
        // Other messages.
        {"110101", CallerIdMessageResult::NotReport, "", "", ""},
        {"", CallerIdMessageResult::NotReport, "", "", ""},
        {"hello", CallerIdMessageResult::NotReport, "", "", ""},
    };
    for (const Case& c : cases) {
        CallerIdMessage message;
        EXPECT_EQ(c.result, DecodeCallerIdMessage(c.text.c_str(), &message)) << c.text;
        EXPECT_STREQ(c.dateTime, message.dateTime) << c.text;
        EXPECT_STREQ(c.number, message.number) << c.text;
        EXPECT_STREQ(c.name, message.name) << c.text;
    }
}

}  // namespace
