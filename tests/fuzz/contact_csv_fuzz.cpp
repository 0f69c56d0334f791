// A CSV export of another address book, read in a block of exactly its size: its records (each
// step moves on, the last ends at the end), the contacts made of them (as UTF-8 and as the
// program's code page), and the CSV writer's file of those contacts read back the same.
#include "present/contact_csv.h"
#include "tests/fuzz/contact_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    for (char separator : {',', ';', '\t'}) {
        CsvCursor cursor{text.data(), text.size(), 0, separator};
        std::vector<std::string> fields;
        for (size_t before = 0; NextCsvRecord(&cursor, &fields); before = cursor.at) {
            FUZZ_CHECK(cursor.at > before && cursor.at <= size && !fields.empty());
        }
        FUZZ_CHECK(cursor.at == size);
    }
    const CodePageMap& map = Windows1252Map();
    for (bool utf8 : {false, true}) {
        ContactFile file = ReadCsvContacts(text.data(), text.size(), SourceText{utf8, &map});
        CheckContacts(file);
        CheckRoundTrip(file, map, false);
    }
    ContactFile file = ReadContactFile(text.data(), text.size(), map);
    CheckContacts(file);
    CheckImportUndo(file);
    return 0;
}
