// Contacts from the CSV export of an address book. The first row names the columns, and the names
// decide what each column holds: a name (or first, middle and last names, joined), an organisation
// (the name of a contact that has no other), and phone numbers, every phone column adding to the
// contact's numbers. The layouts of the common exports are understood this way without knowing
// any of them by heart.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "present/contact_record.h"

// Fields apart at the separator; a field that starts with a double quote may hold the separator,
// line breaks and doubled quotes (one quote each) up to its closing quote; elsewhere a quote is
// text. A record ends at CR, LF or CR LF outside quotes. A quote never closed runs to the end.
struct CsvCursor {
    const char* text;
    size_t size;
    size_t at;
    char separator;
};
// The next record into fields; false at the end of the text.
bool NextCsvRecord(CsvCursor* cursor, std::vector<std::string>* fields);

// The separator of the header row: the one of ",", ";" and tab it holds most often outside quotes
// (exports for a locale with a decimal comma use ";"); "," when it holds none.
char GuessCsvSeparator(const char* text, size_t size);

enum class CsvColumn { Other, FullName, FirstName, MiddleName, LastName, Organization, Phone };
// What a column holds, by the words of its header, in any case: "Mobile Phone", "Phone 2 - Value"
// and "Fax Number" hold numbers; "Phone 1 - Label" and "Phonetic First Name" do not.
CsvColumn ClassifyCsvColumn(const std::string& header);

// A file without a name column or without a phone column gives no contacts and recognised false,
// with the columns it has in columns.
ContactFile ReadCsvContacts(const char* text, size_t size, const SourceText& source);
