#include "present/contact_vcard.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/text_utils.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperCase(std::string text) {
    for (char& c : text) c = Upper(c);
    return text;
}

bool StartsWithNoCase(const char* text, size_t size, const char* head) {
    for (size_t i = 0; head[i] != '\0'; ++i) {
        if (i >= size || Upper(text[i]) != Upper(head[i])) return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Upper(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// --- Lines.

struct Cursor {
    const char* text;
    size_t size;
    size_t at;
};

// The next physical line, without its line break; false at the end.
bool NextPhysical(Cursor* cursor, std::string* line) {
    if (cursor->at >= cursor->size) return false;
    size_t begin = cursor->at;
    size_t end = begin;
    while (end < cursor->size && cursor->text[end] != '\r' && cursor->text[end] != '\n') ++end;
    line->assign(cursor->text + begin, end - begin);
    if (end < cursor->size && cursor->text[end] == '\r') ++end;
    if (end < cursor->size && cursor->text[end] == '\n') ++end;
    cursor->at = end;
    return true;
}

bool StartsFolded(const Cursor& cursor) {
    return cursor.at < cursor.size && (cursor.text[cursor.at] == ' ' || cursor.text[cursor.at] == '\t');
}

bool IsQuotedPrintable(const std::string& line) {
    std::string head = UpperCase(line.substr(0, line.find(':')));
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

// The next logical line: folded lines joined, and quoted-printable lines that end in "=" joined
// with the line after them.
bool NextLogical(Cursor* cursor, std::string* line) {
    if (!NextPhysical(cursor, line)) return false;
    std::string more;
    for (;;) {
        if (StartsFolded(*cursor)) {
            NextPhysical(cursor, &more);
            line->append(more, 1, std::string::npos);
        } else if (!line->empty() && line->back() == '=' && cursor->at < cursor->size && IsQuotedPrintable(*line)) {
            line->pop_back();
            NextPhysical(cursor, &more);
            *line += more;
        } else {
            return true;
        }
    }
}

// --- Properties.

struct Property {
    std::string name;      // upper case, without its group ("item1.TEL" is TEL)
    std::string encoding;  // upper case: QUOTED-PRINTABLE, B, BASE64 or empty
    std::string charset;   // upper case
    std::string value;
};

std::string Unquoted(std::string text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    return text;
}

void TakeParameter(const std::string& parameter, Property* property) {
    size_t equals = parameter.find('=');
    std::string key = UpperCase(TrimmedText(parameter.substr(0, equals)));
    if (equals == std::string::npos) {
        // Version 2.1 may name the encoding alone ("TEL;HOME;QUOTED-PRINTABLE:...").
        if (key == "QUOTED-PRINTABLE" || key == "BASE64") property->encoding = key;
        return;
    }
    std::string value = UpperCase(Unquoted(TrimmedText(parameter.substr(equals + 1))));
    if (key == "ENCODING") property->encoding = value;
    if (key == "CHARSET") property->charset = value;
}

bool ParseProperty(const std::string& line, Property* property) {
    *property = Property{};
    bool quoted = false;
    size_t part = 0;  // where the name or the current parameter starts
    bool named = false;
    for (size_t at = 0; at < line.size(); ++at) {
        char c = line[at];
        if (c == '"') quoted = !quoted;
        if (quoted || (c != ';' && c != ':')) continue;
        std::string text = line.substr(part, at - part);
        if (!named) {
            size_t dot = text.rfind('.');
            property->name = UpperCase(TrimmedText(dot == std::string::npos ? text : text.substr(dot + 1)));
            named = true;
        } else {
            TakeParameter(text, property);
        }
        part = at + 1;
        if (c == ':') {
            property->value = line.substr(at + 1);
            return true;
        }
    }
    return false;
}

std::string DecodeQuotedPrintable(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '=' && at + 2 < value.size() && HexValue(value[at + 1]) >= 0 && HexValue(value[at + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(value[at + 1]) * 16 + HexValue(value[at + 2])));
            at += 2;
        } else {
            out.push_back(value[at]);
        }
    }
    return out;
}

std::string Unescaped(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] != '\\' || at + 1 >= value.size()) {
            out.push_back(value[at]);
            continue;
        }
        char next = value[++at];
        bool newline = next == 'n' || next == 'N';
        if (!newline && next != ',' && next != ';' && next != '\\') out.push_back('\\');  // no escape: kept as written
        out.push_back(newline ? '\n' : next);
    }
    return out;
}

// A structured value's parts, apart at each ";" that is not escaped; each part unescaped.
std::vector<std::string> Components(const std::string& value) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '\\' && at + 1 < value.size()) {
            part.push_back(value[at]);
            part.push_back(value[++at]);
        } else if (value[at] == ';') {
            parts.push_back(Unescaped(part));
            part.clear();
        } else {
            part.push_back(value[at]);
        }
    }
    parts.push_back(Unescaped(part));
    return parts;
}

// The value's bytes after its transfer encoding; base64 values (pictures, sounds) are not text.
bool RawValue(const Property& property, std::string* raw) {
    if (property.encoding == "B" || property.encoding == "BASE64") return false;
    *raw = property.encoding == "QUOTED-PRINTABLE" ? DecodeQuotedPrintable(property.value) : property.value;
    return true;
}

std::string ProgramTextOf(const std::string& bytes, const std::string& charset, const SourceText& source) {
    if (source.map == nullptr) return bytes;
    bool latin1 = charset == "ISO-8859-1" || charset == "LATIN1" || charset == "ISO8859-1";
    if (latin1 || charset == "WINDOWS-1252" || charset == "CP1252") {
        return RecodeText(bytes.data(), bytes.size(), latin1 ? Latin1Map() : Windows1252Map(), *source.map);
    }
    bool utf8 = charset == "UTF-8" || charset == "UTF8" || IsValidUtf8(bytes.data(), bytes.size());
    return utf8 ? Utf8ToCodePage(bytes.data(), bytes.size(), *source.map) : bytes;
}

// The names of N in the order they are said: given, additional, family. Parts that hold several
// names keep them apart by commas.
std::string NameFromParts(const std::vector<std::string>& parts) {
    std::string name;
    for (size_t index : {size_t{1}, size_t{2}, size_t{0}}) {
        if (index >= parts.size()) continue;
        std::string part = parts[index];
        std::replace(part.begin(), part.end(), ',', ' ');
        part = TrimmedText(part);
        if (part.empty()) continue;
        if (!name.empty()) name += ' ';
        name += part;
    }
    return name;
}

// The number of a TEL value: version 4.0 may write it as "tel:+1-555-0100;ext=12".
std::string TelephoneText(std::string value) {
    value = TrimmedText(value);
    if (StartsWithNoCase(value.data(), value.size(), "tel:")) {
        value = value.substr(4);
        value = value.substr(0, value.find(';'));
    }
    return value;
}

struct Card {
    std::string fullName, structuredName, organization;
    std::vector<std::string> numbers;
};

void FinishCard(const Card& card, ContactFile* file) {
    const std::string& name = !TrimmedText(card.fullName).empty()         ? card.fullName
                              : !TrimmedText(card.structuredName).empty() ? card.structuredName
                                                                          : card.organization;
    AddReadContact(file, name, card.numbers);
}

void TakeProperty(const Property& property, const SourceText& source, Card* card) {
    std::string raw;
    if (!RawValue(property, &raw)) return;
    if (property.name == "TEL") {
        AddPhoneNumbers(TelephoneText(Unescaped(raw)), &card->numbers);
    } else if (property.name == "FN" && TrimmedText(card->fullName).empty()) {
        card->fullName = ProgramTextOf(Unescaped(raw), property.charset, source);
    } else if (property.name == "N" && card->structuredName.empty()) {
        card->structuredName = ProgramTextOf(NameFromParts(Components(raw)), property.charset, source);
    } else if (property.name == "ORG" && card->organization.empty()) {
        card->organization = ProgramTextOf(TrimmedText(Components(raw)[0]), property.charset, source);
    }
}

bool IsVCardValue(const std::string& value) { return UpperCase(TrimmedText(value)) == "VCARD"; }

}  // namespace

bool BeginsWithVCard(const char* text, size_t size) {
    size_t at = 0;
    while (at < size && IsBlank(text[at])) ++at;
    return StartsWithNoCase(text + at, size - at, "BEGIN:VCARD");
}

ContactFile ReadVCardContacts(const char* text, size_t size, const SourceText& source) {
    ContactFile file;
    file.vCard = true;
    Cursor cursor{text, size, 0};
    std::string line;
    Property property;
    Card card;
    int depth = 0;  // cards open around the line: 1 inside a contact's own card
    while (NextLogical(&cursor, &line)) {
        if (!ParseProperty(line, &property)) continue;
        if (property.name == "BEGIN" && IsVCardValue(property.value)) {
            if (depth++ == 0) card = Card{};
            file.recognised = true;
        } else if (property.name == "END" && IsVCardValue(property.value)) {
            if (depth > 0 && --depth == 0) FinishCard(card, &file);
        } else if (property.name == "AGENT" && BeginsWithVCard(property.value.data(), property.value.size())) {
            if (depth > 0) ++depth;  // the agent's card follows and ends with an END:VCARD of its own
        } else if (depth == 1) {
            TakeProperty(property, source, &card);
        }
    }
    if (depth > 0) FinishCard(card, &file);  // a file cut short keeps its last contact
    return file;
}
