// The phone book file as the loader reads it (in a block of exactly its size), each contact saved as
// the page does (reading back as the same contact), and the same bytes typed into the numbers cell.
#include "present/phone_book_format.h"
#include "tests/fuzz/fuzz_check.h"

using Contacts = std::vector<std::pair<std::string, std::string>>;  // numbers and name

static Contacts Read(const char* text, size_t size) {
    Contacts contacts;
    BookCursor cursor{text, size, 0};
    std::vector<BookLine> line(1);  // a heap block of exactly one line
    for (size_t before = 0; NextBookLine(&cursor, &line[0]); before = cursor.at) {
        FUZZ_CHECK(cursor.at > before && cursor.at <= size && strnlen(line[0].text, kBookLineSize) < kBookLineSize);
        FUZZ_CHECK(line[0].hasColon ? line[0].nameAt > strlen(line[0].text) : line[0].nameAt == 0);
        if (line[0].hasColon) contacts.emplace_back(line[0].text, line[0].text + line[0].nameAt);
    }
    FUZZ_CHECK(cursor.at == size);
    return contacts;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> file(data, data + size);
    for (const auto& contact : Read(file.data(), file.size())) {
        char out[kSavedLineSize];
        size_t length = FormatBookLine(contact.first.c_str(), contact.second.c_str(), out, sizeof out);
        if (!contact.first.empty() && length > 0) FUZZ_CHECK(Read(out, length) == Contacts{contact});
    }
    // Typed numbers become digit runs joined by ", ", ending in a digit; normalising again changes nothing.
    std::vector<char> typed = TextOf(data, size);
    for (size_t limit : {size_t{256}, 1 + size % 16}) {
        std::vector<char> out(limit), again(limit);
        NormalizeNumbers(typed.data(), out.data(), limit);
        std::string text(out.data(), strnlen(out.data(), limit));
        FUZZ_CHECK(text.size() < limit && text.find_first_not_of("0123456789, ") == std::string::npos);
        FUZZ_CHECK(text.empty() || (std::isdigit(text[0]) && std::isdigit(text.back()) && text.find(",,") == text.npos));
        NormalizeNumbers(out.data(), again.data(), limit);
        FUZZ_CHECK(text == again.data());
    }
    return 0;
}
