// What a call looks like: the number formats, and the popup's place and lifetime.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "present/number_format.h"
#include "present/popup_layout.h"

namespace {

// A section as the system hands it over: entries NUL-terminated, an empty one last.
std::string Section(std::initializer_list<const char*> entries) {
    std::string section;
    for (const char* entry : entries) section += std::string(entry) + '\0';
    return section + '\0';
}

// The defaults as the program builds them: what it writes to the file when the section is
// missing, and what it formats by while the file cannot be written.
std::string Defaults() {
    char section[kNumberFormatCacheSize];
    return std::string(section, BuildDefaultNumberSection(section, sizeof section));
}

std::string Format(const std::string& section, std::string number, size_t capacity = 64) {
    number.resize(512);
    FormatNumberBySection(section.data(), section.size(), &number[0], capacity);
    return number.c_str();
}

TEST(NumberFormat, Sections) {
    struct Case { std::string section; std::string number; std::string shown; } const cases[] = {
        {Defaults(), "5551234", "555 12 34"},
        {Defaults(), "5551234567", "(555) 123 45 67"},
        {Defaults(), "49301234567890", "4930 (123) 456 78 90"},
        {Defaults(), "555-1234", "555-1234"},          // a non-digit matches no placeholder
        // A key with a literal prefix placed before the others wins for its numbers; only the
        // placeholders take digits, so the template spells the prefix out itself.
        {Section({"555xxxx=local 555-xxxx", "xxxxxxx=xxx xx xx"}), "5551234", "local 555-1234"},
        {Section({"555xxxx=local 555-xxxx", "xxxxxxx=xxx xx xx"}), "7771234", "777 12 34"},
        {Section({"+xxxxxxx=+x xxx xxx"}), "01555123", "01555123"},  // literals must be there in the number
        {Section({"xxxx="}), "1234", ""},                             // an empty template blanks the number
        {Section({"xxxx=xx"}), "1234", "12"},                         // fewer placeholders drop the rest
        {Section({"xxxx=x-x-x-x-x-x"}), "1234", "1-2-3-4-"},          // more end it at the first unfilled
        {Section({"XXXX=XX.xx"}), "1234", "12.34"},
        {"xxxx=xx xx", "1234", "12 34"},  // a section without its final empty entry is read as far as it goes
    };
    for (const Case& c : cases) EXPECT_EQ(c.shown, Format(c.section, c.number)) << c.number;
    EXPECT_EQ("(555", Format(Defaults(), "5551234567", 5));  // cut to the buffer
    const std::string longNumber(200, '1');  // past the 127 digits a key can hold: left alone
    EXPECT_EQ(longNumber, Format(Section({(std::string(200, 'x') + "=x").c_str()}), longNumber, 512));
}

// The defaults are built in memory while the format file cannot be written; a buffer a byte
// too small for them gets nothing.
TEST(NumberFormat, DefaultsBuiltWholeOrNotAtAll) {
    std::string defaults = Defaults();
    EXPECT_EQ(std::string("xxxxxxxxxxxxxx=xxxx (xxx) xxx xx xx\0\0", 37), defaults.substr(defaults.size() - 37));
    std::string exact(defaults.size(), '?');
    EXPECT_EQ(defaults.size(), BuildDefaultNumberSection(&exact[0], exact.size()));
    EXPECT_EQ(0u, BuildDefaultNumberSection(&exact[0], exact.size() - 1));
    EXPECT_EQ('\0', exact[0]);
}

TEST(PopupLayout, PlacedInTheWorkAreasCorner) {
    struct Case { const char* what; PopupLayout layout; PopupRect workArea, expected; } const cases[] = {
        {"taskbar at the bottom", {16, false, true, 76, 24}, {0, 0, 1280, 994}, {1202, 968, 1278, 992}},
        {"larger than the screen: off its top left", {16, false, true, 900, 700}, {0, 0, 800, 600}, {-102, -102, 798, 598}},
        {"extreme coordinates are clamped", {16, false, true, 76, 24}, {0, 0, INT32_MIN + 1, INT32_MIN + 1},
         {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}},
    };
    for (const Case& c : cases) {
        PopupRect at = PopupCornerRect(c.layout, c.workArea);
        EXPECT_EQ((std::array<int32_t, 4>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}),
                  (std::array<int32_t, 4>{at.left, at.top, at.right, at.bottom})) << c.what;
    }
}

TEST(PopupLayout, TickThatCloses) {
    struct Case { uint32_t ticks, lifetime, enabled; bool closes; } const cases[] = {
        {29, 30, 1, false}, {30, 30, 1, true},  // 30 s: after the 30th tick
        {1, 0, 1, true},                         // 0: after the first
        {1, 30, 0, true},                        // switched off: next tick
        {1, 30, 7, false},                       // any value from 1 is "on"
        {0xFFFFFFFEu, 0xFFFFFFFFu, 1, false}, {0xFFFFFFFFu, 0xFFFFFFFFu, 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.closes, PopupTickCloses(c.ticks, c.lifetime, c.enabled))
            << "tick " << c.ticks << " lifetime " << c.lifetime << " enabled " << c.enabled;
    }
}

}  // namespace
