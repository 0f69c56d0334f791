// The phone book: matching a caller's number, the file's grammar, and the model behind the list.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "present/phone_book_format.h"
#include "present/phone_book_model.h"

namespace {

using Texts = std::vector<std::string>;

TEST(PhoneBookFormat, NumbersMatchByTheirTail) {
    struct Case { const char* a; const char* b; bool match; } const cases[] = {
        {"5551234", "2125551234", true},      // a local number inside a call with its area code
        {"2125551234", "5551234", true},      // and the other way round
        {"2125551234", "3125551234", false},  // same length: the whole text counts
        {"12345", "9912345", true},           // five digits are enough
        {"1234", "1234", false},              // four never are
    };
    for (const Case& c : cases) EXPECT_EQ(c.match, TailMatch(c.a, c.b)) << c.a << " / " << c.b;
    struct InList { const char* number; std::string numbers; bool match; } const lists[] = {
        {"2125551234", "1111111, 5551234 ", true},
        {"2125551234", "(555) 123-4", false},  // runs are matched one by one
        {"5551234", "ext 5551234!", true},
        {"7777777", std::string(300, '7'), true},  // a run cut at 255 digits, the rest read as the next run
        {"1112345", std::string(255, '1') + "2345", false},  // the 4 digits behind the cut are too few
    };
    for (const InList& c : lists) EXPECT_EQ(c.match, NumberInList(c.number, c.numbers.c_str())) << c.numbers;
}

TEST(PhoneBookFormat, NormalizeNumbers) {
    struct Case { std::string text; size_t limit; std::string normalized; } const cases[] = {
        {"5551234 / 2125559876", 256, "5551234, 2125559876"},
        {"  (212) 555-1234  ", 256, "212, 555, 1234"},  // every run of digits is a number of its own
        {"12 34", 6, "12, 3"},      // the number is cut, the text fits in 5 characters
        {"12 34 56", 5, "12"},      // ", " without a digit behind it is dropped, nothing runs together
        {std::string(2047, ' ') + "12345", 256, "1"},  // only the first 2048 characters are read
    };
    for (const Case& c : cases) {
        char out[300];
        NormalizeNumbers(c.text.c_str(), out, c.limit);
        EXPECT_EQ(c.normalized, out) << c.text.substr(0, 20) << " limit " << c.limit;
    }
}

// Each line read from text as "numbers|name", or "!line" for a line without a colon.
Texts Parse(const std::string& text) {
    Texts lines;
    BookCursor cursor{text.data(), text.size(), 0};
    BookLine line{};
    while (NextBookLine(&cursor, &line)) {
        std::string text = line.text;
        lines.push_back(line.hasColon ? text + "|" + (line.text + line.nameAt) : "!" + text);
    }
    return lines;
}

TEST(PhoneBookFormat, LineGrammar) {
    struct Case { std::string text; Texts lines; } const cases[] = {
        {"5551234 :   Ann\r\n", {"5551234 |Ann"}},  // numbers keep their blank
        {"  5551234\t\t:\tAnn   Smith  \r\n", {"5551234 |Ann Smith"}},
        {"5551234, 2125559876:Smith: John\r\n", {"5551234, 2125559876|Smith: John"}},
        {"no colon here\r\n50%s%n off", {"!no colon here", "!50%s%n off"}},
        {":Nobody\r\n5551234:\r\n", {"|Nobody", "5551234|"}},
        {"\r\n\r\n  \t\r\n1:A\n2:B\r3:C", {"1|A", "2|B", "3|C"}},
        {std::string("1:A\r\n\0\0002:B\0003:C", 14), {"1|A", "2|B", "3|C"}},
        // A line is read up to 2047 characters; the rest of it is dropped.
        {"5551234:" + std::string(3000, 'n') + "\r\n6661234:Next\r\n", {"5551234|" + std::string(2039, 'n'), "6661234|Next"}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.lines, Parse(c.text)) << c.text.substr(0, 40);
}

PhoneBookModel Book(const std::vector<PhoneBookContact>& contacts) { return PhoneBookModel{contacts}; }

// Each contact as "name/numbers".
Texts Contacts(const PhoneBookModel& model) {
    Texts contacts;
    for (const PhoneBookContact& contact : model.contacts) contacts.push_back(contact.name + "/" + contact.numbers);
    return contacts;
}

TEST(PhoneBookModel, SortingByAColumn) {
    struct Case { std::vector<PhoneBookContact> contacts; int column; Texts sorted; std::vector<size_t> moved; };
    const Case cases[] = {
        {{{"charlie", "3"}, {"Bravo", "1"}, {"alpha", "2"}}, kPhoneBookNameColumn, {"alpha/2", "Bravo/1", "charlie/3"},
         {2, 1, 0}},  // case does not count
        {{{"b", "1"}, {"ann", "2"}, {"ANN", "3"}}, kPhoneBookNameColumn, {"ann/2", "ANN/3", "b/1"}, {2, 0, 1}},  // stable
    };
    for (const Case& c : cases) {
        PhoneBookModel model = Book(c.contacts);
        EXPECT_EQ(c.moved, SortPhoneBook(&model, c.column));
        EXPECT_EQ(c.sorted, Contacts(model));
    }
}

TEST(PhoneBookModel, EditsFromThePage) {
    PhoneBookModel model = Book({{"Ann", "5551234"}, {"", ""}, {"Bob", "5555678"}});
    EXPECT_EQ(1u, AddEmptyPhoneBookContact(&model));  // an empty contact is filled first
    EXPECT_TRUE(SetPhoneBookName(&model, 1, "  Robert \t Jones "));
    EXPECT_FALSE(SetPhoneBookName(&model, 1, "Robert  Jones"));  // no change
    EXPECT_EQ(3u, AddEmptyPhoneBookContact(&model));  // a name is enough to be no longer empty
    EXPECT_EQ(3u, AddEmptyPhoneBookContact(&model));
    EXPECT_TRUE(SetPhoneBookNumbers(&model, 3, "5551234 / 2125559876;"));
    EXPECT_FALSE(SetPhoneBookNumbers(&model, 3, "5551234, 2125559876"));
    EXPECT_EQ((Texts{"Ann/5551234", "Robert Jones/", "Bob/5555678", "/5551234, 2125559876"}), Contacts(model));
    EXPECT_EQ(2u, DeletePhoneBookContacts(&model, {3, 0, 0, 7}));  // any order, repeats once
    EXPECT_EQ((Texts{"Robert Jones/", "Bob/5555678"}), Contacts(model));
}

TEST(PhoneBookModel, TheFirstMatchingContactWins) {
    const PhoneBookModel model = Book({{"Nobody", ""},
                                       {"Far", std::string(255, ',') + "3125551234"},  // beyond what is searched
                                       {"One", "1111111"},
                                       {"Anna Local", "5551234"},
                                       {"Zoe Full", "2125551234"},
                                       {"Anna Again", "5551234"}});
    struct Case { const char* number; int row; } const cases[] = {
        {"2125551234", 3},  // row 4 matches whole, row 3 by its tail: the higher row wins
        {"3125551234", 3}, {"1234", -1}, {"9999999", -1}, {"", -1}};
    const PhoneBookIndex index = IndexPhoneBook(model);
    for (const Case& c : cases) {
        EXPECT_EQ(c.row, FindPhoneBookContact(model, c.number)) << c.number;
        EXPECT_EQ(c.row, FindPhoneBookContact(model, index, c.number)) << c.number;
    }

    char name[512];
    EXPECT_FALSE(LookUpPhoneBookName(model, index, "3125559999", name, sizeof name));
    const PhoneBookModel longer = Book({{std::string(300, 'n'), "7777777"}});
    EXPECT_TRUE(LookUpPhoneBookName(longer, IndexPhoneBook(longer), "7777777", name, sizeof name));
    EXPECT_EQ(std::string(199, 'n'), name);  // at most 199 characters of it
}

// The index only narrows the search: over books whose numbers share their tails, short and long,
// with separators of every kind, it gives the same row as reading the whole book.
TEST(PhoneBookModel, TheIndexGivesTheSameAnswer) {
    const unsigned seed = 20261206;
    std::mt19937 random(seed);
    auto digits = [&](size_t count) {
        std::string text;
        for (size_t i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 3);
        return text;
    };
    for (int book = 0; book < 50; ++book) {
        PhoneBookModel model;
        for (int row = 0; row < 40; ++row) {
            std::string numbers;
            for (int n = random() % 4; n > 0; --n) numbers += digits(random() % 9) + (random() % 2 ? ", " : "-");
            model.contacts.push_back({"c" + std::to_string(row), numbers});
        }
        const PhoneBookIndex index = IndexPhoneBook(model);
        for (int query = 0; query < 40; ++query) {
            const std::string number = digits(random() % 10) + (random() % 5 == 0 ? "-1" : "");
            ASSERT_EQ(FindPhoneBookContact(model, number.c_str()), FindPhoneBookContact(model, index, number.c_str()))
                << "seed " << seed << ", book " << book << ", number " << number;
        }
    }
}

TEST(PhoneBookModel, FileLines) {
    const PhoneBookModel model = Book({{"Smith: John", "5551234"},
                                       {"Carol", ""},  // never given a number: not kept
                                       {std::string(300, 'n'), std::string(600, '1')},
                                       {"", "5554321"}});
    const std::string lines[] = {"5551234:Smith: John\r\n", "",
                                 std::string(511, '1') + ":" + std::string(255, 'n') + "\r\n", "5554321:\r\n", ""};
    for (size_t row = 0; row < 5; ++row) {
        char out[kSavedLineSize];
        EXPECT_EQ(lines[row].size(), PhoneBookFileLine(model, row, out, sizeof out)) << row;
        EXPECT_EQ(lines[row], out);
    }
}

}  // namespace
