#include "present/contact_file.h"

#include <string>

#include "present/contact_csv.h"
#include "present/contact_vcard.h"

ContactFile ReadContactFile(const char* data, size_t size, const CodePageMap& map) {
    if (data == nullptr) size = 0;
    size_t start = 0;
    TextEncoding encoding = DetectTextEncoding(data, size, &start);
    std::string converted;
    const char* text = size > 0 ? data + start : "";
    size_t length = size - start;
    if (encoding == TextEncoding::Utf16LittleEndian || encoding == TextEncoding::Utf16BigEndian) {
        converted = Utf16ToUtf8(text, length, encoding == TextEncoding::Utf16BigEndian);
        text = converted.data();
        length = converted.size();
    }
    SourceText source{encoding != TextEncoding::CodePage, &map};
    if (BeginsWithVCard(text, length)) return ReadVCardContacts(text, length, source);
    return ReadCsvContacts(text, length, source);
}
