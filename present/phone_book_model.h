// The phone book as the program holds it: the contacts in the order the user sees them, each
// with its name and numbers as the Phone Book page shows them. The order matters: when two
// contacts share a number, the higher one names the caller. The page shows the model and is its
// only writer; lookups from other threads read it under the page's lock.
#pragma once
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct PhoneBookContact {
    std::string name;
    std::string numbers;  // digit runs joined by ", " as typed through the page; as read from a file
};

struct PhoneBookModel {
    std::vector<PhoneBookContact> contacts;
};

// The columns of the page, which are the sort keys.
enum PhoneBookColumn { kPhoneBookNameColumn = 0, kPhoneBookNumbersColumn = 1 };

void AddPhoneBookContact(PhoneBookModel* model, const char* name, const char* numbers);
// A contact for the user to fill: the first one with neither name nor numbers, or else a new
// empty one at the end. Returns its row.
size_t AddEmptyPhoneBookContact(PhoneBookModel* model);
// What the editors type into a row: the name with its blanks collapsed, the numbers as their
// digit runs joined by ", " (see NormalizeNumbers). True when the row's text changed; a row that
// is not there changes nothing.
bool SetPhoneBookName(PhoneBookModel* model, size_t row, const char* typed);
bool SetPhoneBookNumbers(PhoneBookModel* model, size_t row, const char* typed);
// Removes the listed rows (any order; repeats and rows that are not there are ignored). Returns
// how many went.
size_t DeletePhoneBookContacts(PhoneBookModel* model, std::vector<size_t> rows);

// Sorts by a column, ascending, without regard to case (CompareTextNoCase) over the first 255
// characters of each cell; contacts that compare equal keep their order. Returns where each row
// went: result[old row] is its new row.
std::vector<size_t> SortPhoneBook(PhoneBookModel* model, int column);

// The first contact, from the top, one of whose numbers matches number (NumberInList over the
// first 255 characters of its numbers); -1 when none does.
int FindPhoneBookContact(const PhoneBookModel& model, const char* number);

// The rows of each number's last five characters. Two numbers can only tail-match when they end
// alike, so a lookup need check no other row: the answer is the one above, found among a handful
// of rows instead of the whole book. Made again after every change of the model.
struct PhoneBookIndex {
    std::unordered_map<std::string, std::vector<size_t>> rowsByTail;  // rows ascending, once each
};
PhoneBookIndex IndexPhoneBook(const PhoneBookModel& model);
int FindPhoneBookContact(const PhoneBookModel& model, const PhoneBookIndex& index, const char* number);

// That contact's name, at most 199 characters of it and cut to nameSize, into name; false, name
// untouched, when no contact matches.
bool LookUpPhoneBookName(const PhoneBookModel& model, const PhoneBookIndex& index, const char* number, char* name,
                         size_t nameSize);

// The row's line of the file (the first 511 characters of its numbers, the first 255 of its
// name) into out, which holds kSavedLineSize bytes; returns its length. 0 for a contact without
// numbers: it names no caller and is not kept.
size_t PhoneBookFileLine(const PhoneBookModel& model, size_t row, char* out, size_t outSize);
