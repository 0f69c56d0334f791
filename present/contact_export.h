// The phone book written for other programs: CSV (a header, then each contact's name and its
// numbers joined by ", ") and vCard 3.0, both in UTF-8, the CSV file with a byte-order mark so
// that spreadsheets read it as UTF-8. map describes the program's code page, in which the names
// are kept. A contact without numbers is left out, as the phone book file leaves it out.
#pragma once
#include <string>

#include "base/code_page_text.h"
#include "present/phone_book_model.h"

std::string ContactsToCsv(const PhoneBookModel& model, const CodePageMap& map);
std::string ContactsToVCard(const PhoneBookModel& model, const CodePageMap& map);
