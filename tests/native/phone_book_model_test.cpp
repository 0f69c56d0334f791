#include "present/phone_book_model.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "present/phone_book_format.h"

namespace {

using Texts = std::vector<std::string>;

PhoneBookModel Book(const std::vector<PhoneBookContact>& contacts) { return PhoneBookModel{contacts}; }

Texts Names(const PhoneBookModel& model) {
    Texts names;
    for (const PhoneBookContact& contact : model.contacts) names.push_back(contact.name);
    return names;
}

TEST(PhoneBookModel, SortingByAColumn) {
    const std::string longName(255, 'x');
    struct Case {
        std::vector<PhoneBookContact> contacts;
        int column;
        Texts names;
        std::vector<size_t> moved;
    } const cases[] = {
        {{{"charlie", "3"}, {"Bravo", "1"}, {"alpha", "2"}, {"Delta", "4"}}, kPhoneBookNameColumn,
         {"alpha", "Bravo", "charlie", "Delta"}, {2, 1, 0, 3}},  // case does not count
        {{{"charlie", "3"}, {"Bravo", "1"}, {"alpha", "2"}}, kPhoneBookNumbersColumn, {"Bravo", "alpha", "charlie"},
         {2, 0, 1}},
        {{{"Zoe", "5551234"}, {"Ann", "2125551234"}, {"Ext", "1234"}}, kPhoneBookNumbersColumn, {"Ext", "Ann", "Zoe"},
         {2, 1, 0}},  // text order, not number order
        {{{"b", "1"}, {"ann", "2"}, {"ANN", "3"}, {"Ann", "4"}}, kPhoneBookNameColumn, {"ann", "ANN", "Ann", "b"},
         {3, 0, 1, 2}},  // equals keep their order
        {{{longName + "b", "1"}, {longName + "a", "2"}}, kPhoneBookNameColumn, {longName + "b", longName + "a"},
         {0, 1}},  // only the first 255 characters count
        {{{"b", "1"}, {"a", "2"}}, 7, {"b", "a"}, {0, 1}},  // no such column
        {{}, kPhoneBookNameColumn, {}, {}},
    };
    for (const Case& c : cases) {
        PhoneBookModel model = Book(c.contacts);
        EXPECT_EQ(c.moved, SortPhoneBook(&model, c.column));
        EXPECT_EQ(c.names, Names(model));
    }
    PhoneBookModel model = Book({{"b", "1"}, {"a", "2"}});
    SortPhoneBook(&model, kPhoneBookNameColumn);
    EXPECT_EQ("2", model.contacts[0].numbers);  // the numbers go with their name
}

TEST(PhoneBookModel, EditsFromThePage) {
    PhoneBookModel model = Book({{"Ann", "5551234"}, {"", ""}, {"Bob", "5555678"}});
    EXPECT_EQ(1u, AddEmptyPhoneBookContact(&model));  // an empty contact is filled first
    EXPECT_TRUE(SetPhoneBookName(&model, 1, "  Robert \t Jones "));
    EXPECT_EQ("Robert Jones", model.contacts[1].name);
    EXPECT_EQ(3u, AddEmptyPhoneBookContact(&model));  // a name is enough to be no longer empty
    EXPECT_EQ(3u, AddEmptyPhoneBookContact(&model));
    EXPECT_EQ(4u, model.contacts.size());
    struct Case {
        const char* typed;
        const char* numbers;
        bool changed;
    } const cases[] = {
        {"5551234 / 2125559876;", "5551234, 2125559876", true},
        {"5551234, 2125559876", "5551234, 2125559876", false},
        {"no digits", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.changed, SetPhoneBookNumbers(&model, 3, c.typed)) << c.typed;
        EXPECT_EQ(c.numbers, model.contacts[3].numbers);
    }
    EXPECT_FALSE(SetPhoneBookName(&model, 1, "Robert  Jones"));
    EXPECT_FALSE(SetPhoneBookName(&model, 9, "Nobody"));
    EXPECT_FALSE(SetPhoneBookNumbers(&model, 9, "5551234"));
}

TEST(PhoneBookModel, DeletingContacts) {
    struct Case {
        std::vector<size_t> deleted;
        size_t gone;
        Texts left;
    } const cases[] = {
        {{1}, 1, {"a", "c", "d"}},
        {{3, 0, 0}, 2, {"b", "c"}},  // any order, repeats once
        {{7}, 0, {"a", "b", "c", "d"}},
        {{0, 1, 2, 3}, 4, {}},
    };
    for (const Case& c : cases) {
        PhoneBookModel model = Book({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
        EXPECT_EQ(c.gone, DeletePhoneBookContacts(&model, c.deleted));
        EXPECT_EQ(c.left, Names(model));
    }
}

TEST(PhoneBookModel, TheFirstMatchingContactWins) {
    const PhoneBookModel model = Book({{"Nobody", ""},
                                       {"Far", std::string(255, ',') + "3125551234"},  // beyond what is searched
                                       {"One", "1111111"},
                                       {"Anna Local", "5551234"},
                                       {"Zoe Full", "2125551234"},
                                       {"Anna Again", "5551234"}});
    struct Case {
        const char* number;
        int row;
    } const cases[] = {
        {"2125551234", 3},  // row 4 matches whole, row 3 by its tail: the higher row wins
        {"5551234", 3}, {"3125551234", 3}, {"1111111", 2}, {"1234", -1}, {"9999999", -1}, {"", -1}, {nullptr, -1},
    };
    const PhoneBookIndex index = IndexPhoneBook(model);
    for (const Case& c : cases) {
        EXPECT_EQ(c.row, FindPhoneBookContact(model, c.number)) << c.number;
        EXPECT_EQ(c.row, FindPhoneBookContact(model, index, c.number)) << c.number;
    }
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

TEST(PhoneBookModel, ALookupHandsOutTheName) {
    const std::string longName(300, 'n');
    const PhoneBookModel model = Book({{"Anna Local", "5551234"}, {longName, "7777777"}});
    const PhoneBookIndex index = IndexPhoneBook(model);
    char name[512] = "untouched";
    EXPECT_FALSE(LookUpPhoneBookName(model, index, "3125559999", name, sizeof name));
    EXPECT_STREQ("untouched", name);
    EXPECT_TRUE(LookUpPhoneBookName(model, index, "2125551234", name, sizeof name));
    EXPECT_STREQ("Anna Local", name);
    EXPECT_TRUE(LookUpPhoneBookName(model, index, "7777777", name, sizeof name));
    EXPECT_EQ(std::string(199, 'n'), name);
    char shortName[4] = "xyz";
    EXPECT_TRUE(LookUpPhoneBookName(model, index, "5551234", shortName, sizeof shortName));
    EXPECT_STREQ("Ann", shortName);
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
