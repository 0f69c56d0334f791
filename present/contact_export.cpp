#include "present/contact_export.h"

#include <vector>

namespace {

constexpr size_t kFoldAt = 75;  // octets of a vCard line before it is folded

std::string Utf8Of(const std::string& text, const CodePageMap& map) { return CodePageToUtf8(text.data(), text.size(), map); }

std::string CsvField(const std::string& text) {
    bool quote = text.find_first_of(",;\"\r\n") != std::string::npos ||
                 (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string VCardText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ',' || c == ';') out += '\\';
        if (c == '\n') out += "\\n";
        if (c != '\n' && c != '\r') out += c;
    }
    return out;
}

bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A content line, folded so that no line passes 75 octets and no character is split.
void AppendLine(std::string* out, const std::string& line) {
    size_t at = 0;
    size_t room = kFoldAt;
    while (line.size() - at > room) {
        size_t cut = at + room;
        while (cut > at + 1 && ContinuesCharacter(line[cut])) --cut;
        out->append(line, at, cut - at);
        *out += "\r\n ";
        at = cut;
        room = kFoldAt - 1;  // the blank that starts a folded line counts
    }
    out->append(line, at, std::string::npos);
    *out += "\r\n";
}

std::vector<std::string> NumbersOf(const std::string& cell) {
    std::vector<std::string> numbers;
    std::string digits;
    for (char c : cell) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (!digits.empty()) {
            numbers.push_back(std::move(digits));
            digits.clear();
        }
    }
    if (!digits.empty()) numbers.push_back(std::move(digits));
    return numbers;
}

}  // namespace

std::string ContactsToCsv(const PhoneBookModel& model, const CodePageMap& map) {
    std::string out = "\xEF\xBB\xBFName,Phone Numbers\r\n";
    for (const PhoneBookContact& contact : model.contacts) {
        std::string numbers;
        for (const std::string& number : NumbersOf(contact.numbers)) numbers += (numbers.empty() ? "" : ", ") + number;
        if (numbers.empty()) continue;
        out += CsvField(Utf8Of(contact.name, map)) + ',' + CsvField(numbers) + "\r\n";
    }
    return out;
}

std::string ContactsToVCard(const PhoneBookModel& model, const CodePageMap& map) {
    std::string out;
    for (const PhoneBookContact& contact : model.contacts) {
        std::vector<std::string> numbers = NumbersOf(contact.numbers);
        if (numbers.empty()) continue;
        std::string name = VCardText(Utf8Of(contact.name, map));
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        AppendLine(&out, "FN:" + name);
        // N is required in version 3.0; a phone book knows no given and family names, so the
        // whole name stands as the family name, which every reader shows as it is.
        AppendLine(&out, "N:" + name + ";;;;");
        for (const std::string& number : numbers) AppendLine(&out, "TEL;TYPE=VOICE:" + number);
        out += "END:VCARD\r\n";
    }
    return out;
}
