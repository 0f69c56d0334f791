// The phone book file as the loader reads it, each contact as the page saves it (the saved line,
// read back, must give the same contact), the numbers as typed into the page's edit (through
// NormalizeNumbers) and the lookup of a caller's number over the contacts.
//
// Input: the file's bytes, in a block of exactly that size. The same bytes, up to their first
// NUL, are also the text typed into the Phone number(s) edit.
#include <cstring>
#include <string>

#include "present/phone_book_format.h"
#include "present/phone_book_model.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr size_t kEditCellLimit = 256;  // the page's limit for a typed Phone Number(s) cell

struct Contact {
    std::string numbers;
    std::string name;
};

void CheckLine(const BookLine& line) {
    size_t length = strnlen(line.text, sizeof line.text);
    FUZZ_CHECK(length < sizeof line.text);
    if (line.hasColon) {
        FUZZ_CHECK(line.nameAt > length && line.nameAt < sizeof line.text);
        FUZZ_CHECK(strnlen(line.text + line.nameAt, sizeof line.text - line.nameAt) < sizeof line.text - line.nameAt);
    } else {
        FUZZ_CHECK(line.nameAt == 0);
    }
}

// A contact saved as the page writes it and loaded again.
void CheckSaved(const Contact& contact) {
    std::vector<char> out(kSavedLineSize, '\x55');
    size_t length = FormatBookLine(contact.numbers.c_str(), contact.name.c_str(), out.data(), out.size());
    if (length == 0) {
        FUZZ_CHECK(out[0] == '\0');
        return;
    }
    FUZZ_CHECK(length < out.size() && length == strlen(out.data()));
    std::vector<char> file(out.begin(), out.begin() + static_cast<long>(length));
    BookCursor cursor{file.data(), file.size(), 0};
    std::vector<BookLine> line(1);
    FUZZ_CHECK(NextBookLine(&cursor, &line[0]) && line[0].hasColon);
    FUZZ_CHECK(contact.numbers == line[0].text && contact.name == line[0].text + line[0].nameAt);
    FUZZ_CHECK(!NextBookLine(&cursor, &line[0]));
}

void CheckNormalized(const char* text, size_t limit) {
    std::vector<char> out(limit, '\x55');
    NormalizeNumbers(text, out.data(), limit);
    size_t length = strnlen(out.data(), limit);
    FUZZ_CHECK(length < limit);
    // Digit runs joined by ", ", never ending in a separator.
    for (size_t i = 0; i < length; ++i) {
        char c = out[i];
        if (c == ',') {
            FUZZ_CHECK(i > 0 && i + 2 < length && out[i + 1] == ' ');
            FUZZ_CHECK(out[i + 2] >= '0' && out[i + 2] <= '9');
        } else if (c == ' ') {
            FUZZ_CHECK(i > 0 && out[i - 1] == ',');
        } else {
            FUZZ_CHECK(c >= '0' && c <= '9');
        }
    }
    // Normalising again changes nothing that fits.
    std::vector<char> again(limit, '\x55');
    NormalizeNumbers(out.data(), again.data(), limit);
    FUZZ_CHECK(std::strcmp(again.data(), out.data()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> file(data, data + size);
    BookCursor cursor{file.data(), file.size(), 0};
    std::vector<BookLine> line(1);  // a heap block of exactly one line
    std::vector<Contact> contacts;
    size_t lines = 0;
    for (;;) {
        size_t before = cursor.at;
        std::memset(&line[0], 0x55, sizeof line[0]);
        if (!NextBookLine(&cursor, &line[0])) break;
        FUZZ_CHECK(cursor.at > before && cursor.at <= size);
        FUZZ_CHECK(++lines <= size);
        CheckLine(line[0]);
        if (!line[0].hasColon) continue;
        Contact contact{line[0].text, line[0].text + line[0].nameAt};
        if (contact.numbers.empty()) continue;  // not saved, as the page does with it
        CheckSaved(contact);
        contacts.push_back(contact);
    }
    FUZZ_CHECK(cursor.at == size);

    // The text typed into the edit, and smaller limits that cut it.
    std::vector<char> typed = TextOf(data, size);
    CheckNormalized(typed.data(), kEditCellLimit);
    CheckNormalized(typed.data(), 1 + size % 16);

    // Each contact's first digit run as a caller: it finds that contact or one above it.
    PhoneBookModel model;
    for (const Contact& contact : contacts) AddPhoneBookContact(&model, contact.name.c_str(), contact.numbers.c_str());
    std::vector<char> cell(kEditCellLimit, '\0');
    for (size_t i = 0; i < contacts.size() && i < 16; ++i) {
        NormalizeNumbers(contacts[i].numbers.c_str(), cell.data(), cell.size());
        std::string number(cell.data(), strcspn(cell.data(), ","));
        int row = FindPhoneBookContact(model, number.c_str());
        FUZZ_CHECK(row >= -1 && row < static_cast<int>(contacts.size()));
        // Found whenever the run is long enough and lies inside what a lookup reads of the cell.
        const std::string& numbers = contacts[i].numbers;
        size_t runEnd = numbers.find(number) + number.size();
        if (number.size() >= 5 && runEnd < kNumbersCellSize) FUZZ_CHECK(row >= 0 && row <= static_cast<int>(i));
        FUZZ_CHECK(!TailMatch("1234", number.c_str()));
    }
    return 0;
}
