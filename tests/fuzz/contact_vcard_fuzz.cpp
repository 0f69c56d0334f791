// A vCard file of another address book, read in a block of exactly its size (as UTF-8 and as the
// program's code page), and the vCard writer's file of its contacts read back the same.
#include "present/contact_vcard.h"
#include "tests/fuzz/contact_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    const CodePageMap& map = Windows1252Map();
    for (bool utf8 : {false, true}) {
        ContactFile file = ReadVCardContacts(text.data(), text.size(), SourceText{utf8, &map});
        CheckContacts(file);
        CheckRoundTrip(file, map, true);
        CheckImportUndo(file);
    }
    return 0;
}
