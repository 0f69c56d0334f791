#include "present/contact_csv.h"

#include <algorithm>

namespace {

bool EndsRecord(char c) { return c == '\r' || c == '\n'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsWordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80; }

// The header's words, lower case: "E-mail 2 - Value" gives "e", "mail", "2", "value".
std::vector<std::string> WordsOf(const std::string& header) {
    std::vector<std::string> words;
    std::string word;
    for (char c : header) {
        c = Lower(c);
        if (IsWordChar(c)) {
            word.push_back(c);
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

bool Has(const std::vector<std::string>& words, const std::vector<const char*>& any) {
    for (const std::string& word : words) {
        for (const char* wanted : any) {
            if (word == wanted) return true;
        }
    }
    return false;
}

bool EndsWith(const std::string& word, const char* tail) {
    size_t length = std::char_traits<char>::length(tail);
    return word.size() >= length && word.compare(word.size() - length, length, tail) == 0;
}

bool AllBlank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
        return field.find_first_not_of(" \t") == std::string::npos;
    });
}

// Where each kind of column is, by kind; the first column of a kind that is filled in wins.
struct Layout {
    std::vector<size_t> columns[static_cast<size_t>(CsvColumn::Phone) + 1];
    std::vector<size_t>& operator[](CsvColumn kind) { return columns[static_cast<size_t>(kind)]; }
    const std::vector<size_t>& operator[](CsvColumn kind) const { return columns[static_cast<size_t>(kind)]; }
};

const std::string& FieldAt(const std::vector<std::string>& fields, size_t column) {
    static const std::string kEmpty;
    return column < fields.size() ? fields[column] : kEmpty;
}

std::string FirstFilled(const std::vector<std::string>& fields, const std::vector<size_t>& columns) {
    for (size_t column : columns) {
        std::string text = TrimmedText(FieldAt(fields, column));
        if (!text.empty()) return text;
    }
    return {};
}

std::string NameOf(const std::vector<std::string>& fields, const Layout& layout) {
    std::string name = FirstFilled(fields, layout[CsvColumn::FullName]);
    if (!name.empty()) return name;
    for (CsvColumn part : {CsvColumn::FirstName, CsvColumn::MiddleName, CsvColumn::LastName}) {
        std::string text = FirstFilled(fields, layout[part]);
        if (text.empty()) continue;
        if (!name.empty()) name += ' ';
        name += text;
    }
    if (!name.empty()) return name;
    return FirstFilled(fields, layout[CsvColumn::Organization]);
}

}  // namespace

bool NextCsvRecord(CsvCursor* cursor, std::vector<std::string>* fields) {
    fields->clear();
    if (cursor->at >= cursor->size) return false;
    const char* text = cursor->text;
    const size_t size = cursor->size;
    size_t at = cursor->at;
    std::string field;
    bool quoted = false;     // inside the quotes of a quoted field
    bool fieldStart = true;  // nothing of the field read yet: only here does a quote open one
    for (; at < size; ++at) {
        char c = text[at];
        if (quoted) {
            if (c != '"') {
                field.push_back(c);
            } else if (at + 1 < size && text[at + 1] == '"') {
                field.push_back('"');
                ++at;
            } else {
                quoted = false;
            }
        } else if (c == '"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == cursor->separator) {
            fields->push_back(std::move(field));
            field.clear();
            fieldStart = true;
        } else if (EndsRecord(c)) {
            at += c == '\r' && at + 1 < size && text[at + 1] == '\n' ? 2 : 1;
            break;
        } else {
            // A quote inside a field that did not start with one is text, as spreadsheets take it.
            field.push_back(c);
            fieldStart = false;
        }
    }
    fields->push_back(std::move(field));
    cursor->at = at;
    return true;
}

char GuessCsvSeparator(const char* text, size_t size) {
    size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (size_t at = 0; at < size; ++at) {
        char c = text[at];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (EndsRecord(c)) {
            if (commas + semicolons + tabs > 0) break;  // blank lines before the header are passed
            continue;
        }
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (semicolons > commas && semicolons >= tabs) return ';';
    if (tabs > commas && tabs > semicolons) return '\t';
    return ',';
}

CsvColumn ClassifyCsvColumn(const std::string& header) {
    std::vector<std::string> words = WordsOf(header);
    std::string joined;
    for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
    // Labels and types of numbers, phonetic spellings, and e-mail or web addresses hold no number.
    if (Has(words, {"label", "type", "phonetic", "yomi", "e", "email", "mail", "web", "url", "address"})) {
        return CsvColumn::Other;
    }
    if (std::any_of(words.begin(), words.end(), [](const std::string& word) { return EndsWith(word, "phone"); }) ||
        Has(words, {"tel", "telephone", "telefon", "mobile", "mobil", "cell", "cellular", "handy", "fax", "pager",
                    "callback", "isdn"})) {
        return CsvColumn::Phone;
    }
    // Whole headers, by what their columns hold.
    static const std::pair<CsvColumn, std::vector<const char*>> kHeaders[] = {
        {CsvColumn::Phone, {"cellularnumber", "faxnumber", "pagernumber", "mobilenumber", "workphone"}},
        {CsvColumn::FullName,
         {"name", "full name", "fullname", "display name", "displayname", "contact name", "formatted name"}},
        {CsvColumn::FirstName, {"first name", "firstname", "given name", "givenname", "first", "forename", "vorname"}},
        {CsvColumn::MiddleName, {"middle name", "middlename", "additional name", "additionalname", "middle"}},
        {CsvColumn::LastName, {"last name", "lastname", "family name", "familyname", "surname", "last", "nachname"}},
        {CsvColumn::Organization,
         {"company", "company name", "organization", "organisation", "organization name", "organization 1 name", "org"}},
    };
    for (const auto& [kind, headers] : kHeaders) {
        if (Has({joined}, headers)) return kind;
    }
    return CsvColumn::Other;
}

ContactFile ReadCsvContacts(const char* text, size_t size, const SourceText& source) {
    ContactFile file;
    CsvCursor cursor{text, size, 0, GuessCsvSeparator(text, size)};
    std::vector<std::string> fields;
    bool header = false;
    while (!header && NextCsvRecord(&cursor, &fields)) header = !AllBlank(fields);
    if (!header) return file;
    Layout layout;
    bool named = false;
    for (size_t column = 0; column < fields.size(); ++column) {
        std::string name = TrimmedText(fields[column]);
        if (!file.columns.empty()) file.columns += ", ";
        file.columns += ProgramText(name, source);
        CsvColumn kind = ClassifyCsvColumn(name);
        layout[kind].push_back(column);
        named = named || (kind != CsvColumn::Other && kind != CsvColumn::Phone);
    }
    file.recognised = named && !layout[CsvColumn::Phone].empty();
    if (!file.recognised) return file;
    std::vector<std::string> numbers;
    while (NextCsvRecord(&cursor, &fields)) {
        if (AllBlank(fields)) continue;
        numbers.clear();
        for (size_t column : layout[CsvColumn::Phone]) AddPhoneNumbers(FieldAt(fields, column), &numbers);
        AddReadContact(&file, ProgramText(NameOf(fields, layout), source), numbers);
    }
    return file;
}
