#include "modem/window_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A list written as one string: each text with its NUL, and the NUL of the empty text last.
std::string ListBytes(const char* list, size_t size) {
    std::string bytes;
    size_t at = 0;
    while (at < size && list[at] != '\0') {
        std::string text(list + at);
        bytes += text;
        bytes += '\0';
        at += text.size() + 1;
    }
    bytes += '\0';
    return bytes;
}

std::string L(const char* literal, size_t length) { return std::string(literal, length); }

struct StoredCase {
    std::string stored;
    std::string list;  // with its closing NULs
    size_t texts;
};

TEST(WindowList, FromStored) {
    const StoredCase cases[] = {
        {"", L("\0", 1), 0},
        {"Fax", L("Fax\0\0", 5), 1},
        {"Dialer\tFax", L("Dialer\0Fax\0\0", 12), 2},
        {"a\tb\tc", L("a\0b\0c\0\0", 7), 3},
        // An empty text would end the list early; it is left out instead.
        {"\tFax", L("Fax\0\0", 5), 1},
        {"Fax\t", L("Fax\0\0", 5), 1},
        {"Dialer\t\tFax", L("Dialer\0Fax\0\0", 12), 2},
        {"\t\t", L("\0", 1), 0},
        {"Phone Dialer - Line 1", L("Phone Dialer - Line 1\0\0", 23), 1},
    };
    for (const StoredCase& c : cases) {
        char list[1024];
        std::memset(list, 'x', sizeof list);
        size_t texts = WindowListFromStored(c.stored.c_str(), c.stored.size() + 1, list, sizeof list);
        EXPECT_EQ(c.texts, texts) << "stored \"" << c.stored << "\"";
        EXPECT_EQ(c.list, ListBytes(list, sizeof list)) << "stored \"" << c.stored << "\"";
        // The two closing NULs are really there, not just found by the reader.
        size_t content = c.list.size() >= 2 ? c.list.size() - 2 : 0;
        EXPECT_EQ('\0', list[content]);
        EXPECT_EQ('\0', list[content + 1]);
    }
}

TEST(WindowList, ToStored) {
    const StoredCase cases[] = {
        {"", L("\0", 1), 0},
        {"Fax", L("Fax\0\0", 5), 1},
        {"Dialer\tFax", L("Dialer\0Fax\0\0", 12), 2},
        {"a\tb\tc", L("a\0b\0c\0\0", 7), 3},
    };
    for (const StoredCase& c : cases) {
        char list[1024] = {};
        std::memcpy(list, c.list.data(), c.list.size());
        char stored[1022];
        size_t length = WindowListToStored(list, sizeof list, stored, sizeof stored);
        EXPECT_EQ(c.stored, std::string(stored)) << "list of " << c.texts;
        EXPECT_EQ(c.stored.size(), length);
    }
}

TEST(WindowList, RoundTrips) {
    const char* storedTexts[] = {"", "Fax", "Dialer\tFax", "FAX\tfax\tFaX", "Win Fax Pro 10.0\tPhone Dialer\tHyperTerminal"};
    for (const char* stored : storedTexts) {
        char list[1024];
        WindowListFromStored(stored, 1022, list, sizeof list);
        char back[1022];
        WindowListToStored(list, sizeof list, back, sizeof back);
        EXPECT_STREQ(stored, back);
        char copy[1024];
        CopyWindowList(copy, sizeof copy, list, sizeof list);
        EXPECT_EQ(ListBytes(list, sizeof list), ListBytes(copy, sizeof copy));
    }
}

struct BoundCase {
    std::string stored;
    size_t texts;          // that fit within 1021 characters
    size_t storedLength;   // of the list stored again
};

TEST(WindowList, KeepsTo1021Characters) {
    std::string t510(510, 'a');
    std::string t1021(1021, 'b');
    std::string t1022(1022, 'c');
    const BoundCase cases[] = {
        {t510 + "\t" + t510, 2, 1021},                  // exactly 1021 with the separator
        {t510 + "\t" + t510 + "\tx", 2, 1021},          // one more text does not fit
        {t510 + "\t" + t510 + "x", 1, 510},             // the second text would be cut: left out
        {t1021, 1, 1021},
        {t1022, 0, 0},
        {"Fax\t" + t1022, 1, 3},
    };
    for (const BoundCase& c : cases) {
        char list[1024];
        size_t texts = WindowListFromStored(c.stored.c_str(), c.stored.size() + 1, list, sizeof list);
        EXPECT_EQ(c.texts, texts) << "stored of " << c.stored.size();
        char stored[1022];
        EXPECT_EQ(c.storedLength, WindowListToStored(list, sizeof list, stored, sizeof stored));
        EXPECT_EQ(c.storedLength, std::strlen(stored));
    }
}

TEST(WindowList, UnendedInputStaysInItsBuffer) {
    // A stored text without its NUL (a value that filled the buffer) and a list without its
    // empty text are read only as far as their size.
    char stored[8];
    std::memset(stored, 'z', sizeof stored);
    char list[16];
    EXPECT_EQ(1u, WindowListFromStored(stored, sizeof stored, list, sizeof list));
    EXPECT_EQ(L("zzzzzzzz\0\0", 10), ListBytes(list, sizeof list));

    char unended[6] = {'F', 'a', 'x', '\0', 'D', 'i'};
    char out[32];
    EXPECT_EQ(6u, WindowListToStored(unended, sizeof unended, out, sizeof out));
    EXPECT_STREQ("Fax\tDi", out);
}

TEST(WindowList, SmallOutputsStayTerminated) {
    char list[5];
    EXPECT_EQ(1u, WindowListFromStored("Fax\tDialer", 11, list, sizeof list));
    EXPECT_EQ(L("Fax\0\0", 5), std::string(list, 5));
    char stored[4];
    EXPECT_EQ(3u, WindowListToStored("Fax\0Dialer\0", 12, stored, sizeof stored));
    EXPECT_STREQ("Fax", stored);
    char one[1];
    EXPECT_EQ(0u, WindowListFromStored("Fax", 4, one, sizeof one));
    EXPECT_EQ('\0', one[0]);
    EXPECT_EQ(0u, WindowListFromStored(nullptr, 0, list, sizeof list));
    EXPECT_EQ('\0', list[0]);
}

TEST(WindowList, NextTextWalksToTheEnd) {
    const char list[] = "Dialer\0Fax\0";
    const char* text = list;
    EXPECT_STREQ("Dialer", text);
    text = NextWindowText(text);
    EXPECT_STREQ("Fax", text);
    text = NextWindowText(text);
    EXPECT_EQ('\0', *text);
}

}  // namespace
