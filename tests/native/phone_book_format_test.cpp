#include "present/phone_book_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(PhoneBookFormat, TailMatch) {
    struct Case {
        const char* a;
        const char* b;
        bool match;
    } const cases[] = {
        {"5551234", "2125551234", true},   // local number inside a call with its area code
        {"2125551234", "5551234", true},   // and the other way round
        {"5551234", "5551234", true},
        {"5551234", "5551235", false},
        {"2125551234", "3125551234", false},  // same length: the whole text counts
        {"12345", "9912345", true},          // five digits are enough
        {"1234", "1234", false},             // four never are
        {"1234", "5551234", false},
        {"5551234", "1234", false},
        {"", "", false},
        {"555-1234", "5551234", false},      // taken as given: no clean-up here
        {"x5551234", "5551234", true},
    };
    for (const Case& c : cases) EXPECT_EQ(c.match, TailMatch(c.a, c.b)) << c.a << " / " << c.b;
    EXPECT_FALSE(TailMatch(nullptr, "12345"));
    EXPECT_FALSE(TailMatch("12345", nullptr));
}

TEST(PhoneBookFormat, NumberInList) {
    const std::string longRun(300, '7');  // a run cut at 255 digits, the rest read as the next run
    struct Case {
        const char* number;
        std::string numbers;
        bool match;
    } const cases[] = {
        {"2125551234", "5551234", true},
        {"2125551234", "1111111, 5551234", true},
        {"2125551234", "5551234 ", true},             // the trailing blank a loaded line keeps
        {"2125551234", "(555) 123-4", false},         // runs are matched one by one
        {"1234", "1234", false},
        {"1234", "5551234, 1234", false},             // 4 digits never match anything
        {"5551234", "ext 5551234!", true},
        {"5551234", "", false},
        {"5551234", "no digits at all", false},
        {"7777777", longRun, true},
        {"1112345", std::string(255, '1') + "2345", false},  // the 4 digits behind the cut are too few
        {"9777777", longRun, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.match, NumberInList(c.number, c.numbers.c_str())) << c.numbers;
    EXPECT_FALSE(NumberInList(nullptr, "5551234"));
    EXPECT_FALSE(NumberInList("5551234", nullptr));
}

TEST(PhoneBookFormat, NormalizeNumbers) {
    struct Case {
        std::string text;
        size_t limit;
        std::string normalized;
    } const cases[] = {
        {"5551234 / 5559876", 256, "5551234, 5559876"},
        {"555-1234", 256, "555, 1234"},  // every run of digits is a number of its own
        {"5551234/2125559876", 256, "5551234, 2125559876"},
        {"  (212) 555-1234  ", 256, "212, 555, 1234"},
        {"5551234", 256, "5551234"},
        {"no digits", 256, ""},
        {"", 256, ""},
        {"12 34", 6, "12, 3"},      // the number is cut, the text fits in 5 characters
        {"12 34", 5, "12"},         // ", " without a digit behind it is dropped
        {"12 34 56", 5, "12"},      // and nothing runs together behind a dropped separator
        {"123456", 4, "123"},
        {"1", 1, ""},
    };
    for (const Case& c : cases) {
        char out[300];
        memset(out, 'x', sizeof out);
        NormalizeNumbers(c.text.c_str(), out, c.limit);
        EXPECT_EQ(c.normalized, out) << c.text << " limit " << c.limit;
        EXPECT_LT(strlen(out), c.limit);
    }
}

TEST(PhoneBookFormat, NormalizeLooksAtTheFirst2048Characters) {
    std::string text(2047, ' ');
    text += "12345";
    char out[256];
    NormalizeNumbers(text.c_str(), out, sizeof out);
    EXPECT_STREQ("1", out);
    text = std::string(2048, '-') + "5551234";
    NormalizeNumbers(text.c_str(), out, sizeof out);
    EXPECT_STREQ("", out);
}

TEST(PhoneBookFormat, NormalizeStaysInsideItsLimit) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "9 ";  // grows to "9, 9, 9, ..."
    char out[300];
    memset(out, 'x', sizeof out);
    NormalizeNumbers(text.c_str(), out, 256);
    EXPECT_EQ(253u, strlen(out));  // 85 digits and 84 separators; the 86th would not fit
    EXPECT_EQ('9', out[252]);
    EXPECT_EQ('x', out[256]);
    NormalizeNumbers("123", out, 0);  // no room at all: nothing touched
    EXPECT_EQ('9', out[0]);
    NormalizeNumbers(nullptr, out, 5);
    EXPECT_STREQ("", out);
}

struct Entry {
    bool hasColon;
    std::string numbers;  // the whole collapsed line when there is no colon
    std::string name;
    bool operator==(const Entry& other) const {
        return hasColon == other.hasColon && numbers == other.numbers && name == other.name;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "[" << entry.hasColon << "|" << entry.numbers << "|" << entry.name << "]";
}

std::vector<Entry> Parse(const std::string& text) {
    std::vector<Entry> entries;
    BookCursor cursor{text.data(), text.size(), 0};
    BookLine line{};
    for (int guard = 0; NextBookLine(&cursor, &line); ++guard) {
        if (guard > 100000) {
            ADD_FAILURE() << "no progress";
            break;
        }
        entries.push_back({line.hasColon, line.text, line.hasColon ? line.text + line.nameAt : ""});
    }
    return entries;
}

TEST(PhoneBookFormat, LineGrammar) {
    using Entries = std::vector<Entry>;
    struct Case {
        std::string text;
        Entries entries;
    } const cases[] = {
        {"5551234:Ann Smith\r\n", Entries{{true, "5551234", "Ann Smith"}}},
        {"5551234 :   Ann\r\n", Entries{{true, "5551234 ", "Ann"}}},  // numbers keep their blank
        {"  5551234\t\t:\tAnn   Smith  \r\n", Entries{{true, "5551234 ", "Ann Smith"}}},
        {"5551234:Smith: John\r\n", Entries{{true, "5551234", "Smith: John"}}},
        {"5551234, 2125559876:Office\r\n", Entries{{true, "5551234, 2125559876", "Office"}}},
        {"no colon here\r\n", Entries{{false, "no colon here", ""}}},
        {"5551234:\r\n", Entries{{true, "5551234", ""}}},
        {":Nobody\r\n", Entries{{true, "", "Nobody"}}},
        {"\r\n\r\n  \t\r\n1:A\n2:B\r3:C", Entries{{true, "1", "A"}, {true, "2", "B"}, {true, "3", "C"}}},
        {std::string("1:A\r\n\0\0002:B\r\n", 12), Entries{{true, "1", "A"}, {true, "2", "B"}}},
        {std::string("1:A\0002:B", 7), Entries{{true, "1", "A"}, {true, "2", "B"}}},
        {"", Entries{}},
        {" \r\n\t", Entries{}},
        {"50%s%s%n off\r\n", Entries{{false, "50%s%s%n off", ""}}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.entries, Parse(c.text)) << c.text;
}

TEST(PhoneBookFormat, LongLinesAreCut) {
    std::string name(3000, 'n');
    std::vector<Entry> entries = Parse("5551234:" + name + "\r\n6661234:Next\r\n");
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(2047u - 8u, entries[0].name.size());
    EXPECT_EQ((Entry{true, "6661234", "Next"}), entries[1]);
}

TEST(PhoneBookFormat, TheCursorStopsAtTheGivenSize) {
    const char text[] = "1:A\r\n2:B\r\n";
    BookCursor cursor{text, 5, 0};
    BookLine line{};
    ASSERT_TRUE(NextBookLine(&cursor, &line));
    EXPECT_STREQ("1", line.text);
    EXPECT_FALSE(NextBookLine(&cursor, &line));
    EXPECT_FALSE(NextBookLine(nullptr, &line));
}

TEST(PhoneBookFormat, FormattedLinesReadBack) {
    struct Case {
        const char* numbers;
        const char* name;
        const char* line;
    } const cases[] = {
        {"5551234", "Ann Smith", "5551234:Ann Smith\r\n"},
        {"5551234", "Smith: John", "5551234:Smith: John\r\n"},
        {"5551234, 2125559876", "", "5551234, 2125559876:\r\n"},
        {"5551234", "100%s", "5551234:100%s\r\n"},
    };
    for (const Case& c : cases) {
        char out[kSavedLineSize];
        EXPECT_EQ(strlen(c.line), FormatBookLine(c.numbers, c.name, out, sizeof out));
        EXPECT_STREQ(c.line, out);
        std::vector<Entry> back = Parse(out);
        ASSERT_EQ(1u, back.size());
        EXPECT_EQ((Entry{true, c.numbers, c.name}), back[0]);
    }
}

TEST(PhoneBookFormat, FormatNeverCutsALine) {
    char out[12];
    EXPECT_EQ(11u, FormatBookLine("12345", "Ann", out, sizeof out));
    EXPECT_STREQ("12345:Ann\r\n", out);
    EXPECT_EQ(0u, FormatBookLine("12345", "Anne", out, sizeof out));
    EXPECT_STREQ("", out);
    std::string numbers(511, '1');
    std::string name(255, 'n');
    char saved[kSavedLineSize];
    EXPECT_EQ(511u + 1u + 255u + 2u, FormatBookLine(numbers.c_str(), name.c_str(), saved, sizeof saved));
}

}  // namespace
