// What reading another address book's file gives: contacts ready for the phone book, names in the
// program's code page and numbers as the Phone Book page stores them, and how many entries could
// not be taken. The CSV and vCard readers share the rules below.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "base/code_page_text.h"
#include "present/phone_book_model.h"

struct ContactFile {
    std::vector<PhoneBookContact> contacts;
    size_t refused = 0;       // entries without a name or without a phone number
    bool recognised = false;  // the file has a name and a phone column (CSV) or a card (vCard)
    bool vCard = false;
    std::string columns;      // a CSV file's header: its columns joined by ", ", in the program's code page
};

// Where a reader's texts come from: UTF-8 bytes, or bytes already in the program's code page.
// map describes the program's code page.
struct SourceText {
    bool utf8;
    const CodePageMap* map;
};
std::string ProgramText(const std::string& text, const SourceText& source);

// text without the spaces and tabs at either end, as both readers take a field or a value.
std::string TrimmedText(const std::string& text);

// The numbers of one phone field, each as its digits, appended to numbers unless already there.
// A field may hold several numbers, apart at ",", ";", ":", "|" or a line break (one address book
// joins them with " ::: "). Inside a number, "+", blanks, brackets, dots, dashes and slashes are
// dressing; a letter after the digits starts an extension ("x12", "ext. 12"), which a caller's
// number never carries, so the number ends there. A run of more than 255 digits is no number.
void AddPhoneNumbers(const std::string& field, std::vector<std::string>* numbers);

// The contact as the phone book keeps it, added to file, or counted as refused when it has no
// name or no number. name is in the program's code page: control characters become blanks,
// blanks are collapsed, and at most 255 characters are kept, as the page and the file hold them.
// The numbers are joined by ", " as long as whole numbers fit the 255 characters of a Phone
// Number(s) cell.
void AddReadContact(ContactFile* file, std::string name, const std::vector<std::string>& numbers);
