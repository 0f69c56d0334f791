// The rules every contact read from another program's file keeps, whichever reader made it, and
// the round trip through the writers: what was read and written is read back the same.
#pragma once
#include <cctype>
#include <string>
#include <vector>

#include "base/code_page_text.h"
#include "present/contact_export.h"
#include "present/contact_file.h"
#include "present/contact_merge.h"
#include "present/phone_book_format.h"
#include "tests/fuzz/fuzz_check.h"

// A name as the page keeps it; numbers as the page stores them: whole digit runs joined by ", ".
inline void CheckContacts(const ContactFile& file) {
    if (!file.recognised) FUZZ_CHECK(file.contacts.empty() && file.refused == 0);
    for (const PhoneBookContact& contact : file.contacts) {
        const std::string& name = contact.name;
        FUZZ_CHECK(!name.empty() && name.size() <= 255 && name.front() != ' ' && name.back() != ' ');
        FUZZ_CHECK(name.find("  ") == std::string::npos);
        for (char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 && c != 127);
        const std::string& numbers = contact.numbers;
        FUZZ_CHECK(!numbers.empty() && numbers.size() < kNumbersCellSize);
        FUZZ_CHECK(numbers.find_first_not_of("0123456789, ") == std::string::npos);
        FUZZ_CHECK(std::isdigit(static_cast<unsigned char>(numbers.front())) &&
                   std::isdigit(static_cast<unsigned char>(numbers.back())));
        char again[kNumbersCellSize];
        NormalizeNumbers(numbers.c_str(), again, sizeof again);
        FUZZ_CHECK(numbers == again);
    }
}

// Names whose every byte is a character of the code page come back from UTF-8 as they were.
inline bool Representable(const ContactFile& file, const CodePageMap& map) {
    for (const PhoneBookContact& contact : file.contacts) {
        for (char c : contact.name) {
            auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x80 && map.high[byte - 0x80] == 0) return false;
        }
    }
    return true;
}

inline void CheckRoundTrip(const ContactFile& file, const CodePageMap& map, bool vCard) {
    if (!Representable(file, map)) return;
    PhoneBookModel model;
    model.contacts = file.contacts;
    std::string written = vCard ? ContactsToVCard(model, map) : ContactsToCsv(model, map);
    std::vector<char> exact(written.begin(), written.end());
    ContactFile back = ReadContactFile(exact.data(), exact.size(), map);
    FUZZ_CHECK(back.refused == 0);
    FUZZ_CHECK(back.contacts.size() == file.contacts.size());
    for (size_t i = 0; i < back.contacts.size(); ++i) {
        FUZZ_CHECK(back.contacts[i].name == file.contacts[i].name);
        FUZZ_CHECK(back.contacts[i].numbers == file.contacts[i].numbers);
    }
}

// An import into a book that holds some of the contacts already, taken back, leaves the book
// as it was.
inline void CheckImportUndo(const ContactFile& file) {
    PhoneBookModel model;
    for (size_t i = 0; i < file.contacts.size(); i += 3) model.contacts.push_back(file.contacts[i]);
    model.contacts.push_back({"Someone", "5550100"});
    std::vector<PhoneBookContact> before = model.contacts;
    ImportUndo undo;
    ImportCounts counts = MergeContacts(&model, file, &undo);
    FUZZ_CHECK(counts.added + counts.skipped == file.contacts.size() && counts.refused == file.refused);
    FUZZ_CHECK(model.contacts.size() == before.size() + counts.added);
    FUZZ_CHECK(UndoImport(&model, &undo) == counts.added);
    FUZZ_CHECK(model.contacts.size() == before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        FUZZ_CHECK(model.contacts[i].name == before[i].name && model.contacts[i].numbers == before[i].numbers);
    }
}
