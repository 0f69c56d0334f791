#include "present/phone_book_model.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "base/compare_text.h"
#include "base/erase_rows.h"
#include "base/text_utils.h"
#include "present/phone_book_format.h"

namespace {

constexpr size_t kSortKeyLength = 255;    // what of a cell the sort compares
constexpr size_t kLookupNameSize = 200;   // the most of a name a lookup hands out, with its NUL
constexpr size_t kSavedNameSize = 256;    // what of a name a line keeps, with its NUL
constexpr size_t kSavedNumbersSize = 512;  // what of the numbers a line keeps, with its NUL

const std::string& Cell(const PhoneBookContact& contact, int column) {
    static const std::string kNone;
    if (column == kPhoneBookNameColumn) return contact.name;
    if (column == kPhoneBookNumbersColumn) return contact.numbers;
    return kNone;
}

int KeyLength(const std::string& cell) { return static_cast<int>(std::min(cell.size(), kSortKeyLength)); }

bool SetCell(std::string* cell, const char* text) {
    if (*cell == text) return false;
    *cell = text;
    return true;
}

// Whether one of the contact's numbers, as far as lookups read the cell, matches number.
bool HasNumber(const PhoneBookContact& contact, const char* number) {
    char numbers[kNumbersCellSize];
    CopyText(numbers, sizeof numbers, contact.numbers.c_str());
    return NumberInList(number, numbers);
}

}  // namespace

void AddPhoneBookContact(PhoneBookModel* model, const char* name, const char* numbers) {
    model->contacts.push_back({name != nullptr ? name : "", numbers != nullptr ? numbers : ""});
}

size_t AddEmptyPhoneBookContact(PhoneBookModel* model) {
    std::vector<PhoneBookContact>& contacts = model->contacts;
    for (size_t row = 0; row < contacts.size(); ++row) {
        if (contacts[row].name.empty() && contacts[row].numbers.empty()) return row;
    }
    contacts.push_back({});
    return contacts.size() - 1;
}

bool SetPhoneBookName(PhoneBookModel* model, size_t row, const char* typed) {
    if (row >= model->contacts.size()) return false;
    std::string name = typed != nullptr ? typed : "";
    CollapseBlanks(&name[0]);
    return SetCell(&model->contacts[row].name, name.c_str());
}

bool SetPhoneBookNumbers(PhoneBookModel* model, size_t row, const char* typed) {
    if (row >= model->contacts.size()) return false;
    char numbers[kNumbersCellSize];
    NormalizeNumbers(typed, numbers, sizeof numbers);
    return SetCell(&model->contacts[row].numbers, numbers);
}

size_t DeletePhoneBookContacts(PhoneBookModel* model, std::vector<size_t> rows) {
    return EraseListedRows(&model->contacts, std::move(rows));
}

std::vector<size_t> SortPhoneBook(PhoneBookModel* model, int column) {
    std::vector<PhoneBookContact>& contacts = model->contacts;
    std::vector<size_t> order(contacts.size());
    std::iota(order.begin(), order.end(), 0);
    // A contact moves ahead of one above it only when that one compares above it, as the list
    // control's own sort did.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const std::string& above = Cell(contacts[b], column);
        const std::string& below = Cell(contacts[a], column);
        return CompareTextNoCase(above.data(), KeyLength(above), below.data(), KeyLength(below)) > 0;
    });
    std::vector<PhoneBookContact> sorted;
    sorted.reserve(contacts.size());
    std::vector<size_t> moved(contacts.size());
    for (size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(contacts[order[row]]));
        moved[order[row]] = row;
    }
    contacts = std::move(sorted);
    return moved;
}

int FindPhoneBookContact(const PhoneBookModel& model, const char* number) {
    if (number == nullptr) return -1;
    for (size_t row = 0; row < model.contacts.size(); ++row) {
        if (HasNumber(model.contacts[row], number)) return static_cast<int>(row);
    }
    return -1;
}

PhoneBookIndex IndexPhoneBook(const PhoneBookModel& model) {
    PhoneBookIndex index;
    for (size_t row = 0; row < model.contacts.size(); ++row) {
        char numbers[kNumbersCellSize];  // what the lookup searches of the cell
        CopyText(numbers, sizeof numbers, model.contacts[row].numbers.c_str());
        for (const char* at = numbers; *at != '\0';) {
            const char* end = at;
            while (IsDigit(*end)) ++end;
            if (static_cast<size_t>(end - at) >= kShortestTailMatch) {
                std::vector<size_t>& rows = index.rowsByTail[std::string(end - kShortestTailMatch, end)];
                if (rows.empty() || rows.back() != row) rows.push_back(row);
            }
            at = *end != '\0' ? end + 1 : end;
        }
    }
    return index;
}

int FindPhoneBookContact(const PhoneBookModel& model, const PhoneBookIndex& index, const char* number) {
    if (number == nullptr) return -1;
    size_t length = strlen(number);
    if (length < kShortestTailMatch) return -1;
    auto found = index.rowsByTail.find(std::string(number + length - kShortestTailMatch, number + length));
    if (found == index.rowsByTail.end()) return -1;
    for (size_t row : found->second) {
        if (HasNumber(model.contacts[row], number)) return static_cast<int>(row);
    }
    return -1;
}

bool LookUpPhoneBookName(const PhoneBookModel& model, const PhoneBookIndex& index, const char* number, char* name,
                         size_t nameSize) {
    if (name == nullptr || nameSize == 0) return false;
    int row = FindPhoneBookContact(model, index, number);
    if (row < 0) return false;
    CopyTextN(name, nameSize, model.contacts[static_cast<size_t>(row)].name.c_str(), kLookupNameSize - 1);
    return true;
}

size_t PhoneBookFileLine(const PhoneBookModel& model, size_t row, char* out, size_t outSize) {
    if (out != nullptr && outSize > 0) out[0] = '\0';
    if (row >= model.contacts.size()) return 0;
    char name[kSavedNameSize];
    char numbers[kSavedNumbersSize];
    CopyText(name, sizeof name, model.contacts[row].name.c_str());
    CopyText(numbers, sizeof numbers, model.contacts[row].numbers.c_str());
    if (numbers[0] == '\0') return 0;
    return FormatBookLine(numbers, name, out, outSize);
}
