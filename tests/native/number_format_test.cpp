#include "present/number_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A section as the system hands it over: entries NUL-terminated, an empty one last.
std::string Section(std::initializer_list<const char*> entries) {
    std::string section;
    for (const char* entry : entries) {
        section += entry;
        section += '\0';
    }
    section += '\0';
    return section;
}

// The defaults as the program builds them: what it writes to the file when the section is
// missing, and what it formats by while the file cannot be written.
std::string Defaults() {
    char section[kNumberFormatCacheSize];
    size_t used = BuildDefaultNumberSection(section, sizeof section);
    EXPECT_GT(used, 0u);
    return std::string(section, used);
}

std::string Format(const std::string& section, const char* number, size_t capacity = 64) {
    char buffer[512];
    std::string(number).copy(buffer, sizeof buffer - 1);
    buffer[std::string(number).size()] = '\0';
    FormatNumberBySection(section.data(), section.size(), buffer, capacity);
    return buffer;
}

TEST(NumberFormat, Defaults) {
    struct Case {
        const char* number;
        const char* shown;
    } const cases[] = {
        {"5551234", "555 12 34"},
        {"5551234567", "(555) 123 45 67"},
        {"1234", "12 34"},
        {"49301234567890", "4930 (123) 456 78 90"},
        {"123", "123"},                        // no key of 3
        {"123456789012345", "123456789012345"},  // nor of 15
        {"555-1234", "555-1234"},              // a non-digit matches no placeholder
        {"", ""},
        {"PRIVATE", "PRIVATE"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.shown, Format(Defaults(), c.number)) << c.number;
}

TEST(NumberFormat, UserEntries) {
    // A key with a literal prefix placed before the defaults wins for its numbers.
    // Only the placeholders take digits, so the template spells the prefix out itself.
    std::string section = Section({"555xxxx=local 555-xxxx", "xxxxxxx=xxx xx xx"});
    EXPECT_EQ("local 555-1234", Format(section, "5551234"));
    EXPECT_EQ("777 12 34", Format(section, "7771234"));
    // Literal characters in a key must be there in the number.
    EXPECT_EQ("+1 555 123", Format(Section({"+xxxxxxx=+x xxx xxx"}), "+1555123"));
    EXPECT_EQ("01555123", Format(Section({"+xxxxxxx=+x xxx xxx"}), "01555123"));
    // An empty template blanks every matching number.
    EXPECT_EQ("", Format(Section({"xxxx="}), "1234"));
    // Fewer placeholders than digits drop the rest; more end the result at the first unfilled.
    EXPECT_EQ("12", Format(Section({"xxxx=xx"}), "1234"));
    EXPECT_EQ("1-2-3-4-", Format(Section({"xxxx=x-x-x-x-x-x"}), "1234"));
    // A key made only of literals keeps no digit and never matches.
    EXPECT_EQ("1234", Format(Section({"1234=one"}), "1234"));
    // An entry without "=" is no key.
    EXPECT_EQ("1234", Format(Section({"xxxx", "xxx=y"}), "1234"));
    // Uppercase placeholders count too.
    EXPECT_EQ("12.34", Format(Section({"XXXX=XX.xx"}), "1234"));
}

TEST(NumberFormat, StaysInsideItsBuffers) {
    // The built defaults end in an empty entry; a buffer a byte too small for them gets nothing.
    std::string defaults = Defaults();
    EXPECT_EQ(std::string("xxxxxxxxxxxxxx=xxxx (xxx) xxx xx xx\0\0", 37),
              defaults.substr(defaults.size() - 37));
    std::string exact(defaults.size(), '?');
    EXPECT_EQ(defaults.size(), BuildDefaultNumberSection(&exact[0], exact.size()));
    EXPECT_EQ(0u, BuildDefaultNumberSection(&exact[0], exact.size() - 1));
    EXPECT_EQ('\0', exact[0]);
    EXPECT_EQ("(555", Format(Defaults(), "5551234567", 5));  // cut to the buffer
    std::string longKey(200, 'x');
    std::string longNumber(200, '1');
    EXPECT_EQ(longNumber, Format(Section({(longKey + "=x").c_str()}), longNumber.c_str(), 512));  // over 127 digits
    // A section without its final empty entry is read only as far as it goes.
    std::string truncated = "xxxx=xx xx";
    EXPECT_EQ("12 34", Format(truncated, "1234"));
    std::string cut = "xxxx=xx x";
    char number[8] = "1234";
    FormatNumberBySection(cut.data(), 6, number, sizeof number);  // the template is cut after "x"
    EXPECT_STREQ("1", number);
}

}  // namespace
