#include "present/contact_record.h"

#include <algorithm>
#include <cstring>

#include "base/text_utils.h"
#include "present/phone_book_format.h"

namespace {

constexpr size_t kNameLimit = 255;  // what the page's editor and the file keep of a name

bool IsLetter(char c) {
    auto b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b >= 0x80;
}

bool SeparatesNumbers(char c) { return c == ',' || c == ';' || c == ':' || c == '|' || c == '\r' || c == '\n'; }

void AddNumber(std::string digits, std::vector<std::string>* numbers) {
    // Longer than a cell's digit run is no telephone number; cut, its end would match strangers.
    if (digits.empty() || digits.size() >= kDigitRunSize) return;
    if (std::find(numbers->begin(), numbers->end(), digits) == numbers->end()) numbers->push_back(std::move(digits));
}

}  // namespace

std::string ProgramText(const std::string& text, const SourceText& source) {
    if (!source.utf8 || source.map == nullptr) return text;
    return Utf8ToCodePage(text.data(), text.size(), *source.map);
}

std::string TrimmedText(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

void AddPhoneNumbers(const std::string& field, std::vector<std::string>* numbers) {
    std::string digits;
    bool extension = false;  // the rest of this number is its extension
    for (char c : field) {
        if (SeparatesNumbers(c)) {
            AddNumber(std::move(digits), numbers);
            digits.clear();
            extension = false;
        } else if (extension) {
            continue;
        } else if (IsDigit(c)) {
            digits.push_back(c);
        } else if (IsLetter(c) && !digits.empty()) {
            extension = true;
        }
    }
    AddNumber(std::move(digits), numbers);
}

void AddReadContact(ContactFile* file, std::string name, const std::vector<std::string>& numbers) {
    for (char& c : name) {
        if (IsControlChar(c)) c = ' ';
    }
    CollapseBlanks(&name[0]);
    name.resize(std::min(strlen(name.c_str()), kNameLimit));
    CollapseBlanks(&name[0]);  // the cut may have left a blank at the end
    name.resize(strlen(name.c_str()));
    // Only whole numbers: a number cut short would name strangers whose numbers end alike.
    std::string joined;
    for (const std::string& number : numbers) {
        size_t separator = joined.empty() ? 0 : 2;
        if (joined.size() + separator + number.size() >= kNumbersCellSize) break;
        if (separator != 0) joined += ", ";
        joined += number;
    }
    char cell[kNumbersCellSize];
    NormalizeNumbers(joined.c_str(), cell, sizeof cell);
    if (name.empty() || cell[0] == '\0') {
        ++file->refused;
        return;
    }
    file->contacts.push_back({std::move(name), cell});
}
