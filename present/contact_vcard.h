// Contacts from vCard files (versions 2.1, 3.0 and 4.0), as phones and address books export them:
// one card per contact between BEGIN:VCARD and END:VCARD, its name from FN (or, without one, from
// N: given, additional and family names; or else from ORG) and its numbers from every TEL.
// Long lines are folded (a line break and a blank continue the line); version 2.1 writes
// quoted-printable values, with "=" at a line's end continuing it, and names a value's character
// set; later versions escape "\," "\;" "\n" and write UTF-8. Version 4.0 may give a number as a
// "tel:" address.
#pragma once
#include <cstddef>

#include "present/contact_record.h"

// A value without a character set is taken as UTF-8 when it is valid UTF-8, and as the program's
// own code page otherwise (source.map converts UTF-8). Cards inside cards (a 2.1 AGENT) are
// passed over. recognised: the text has at least one card.
ContactFile ReadVCardContacts(const char* text, size_t size, const SourceText& source);

// Whether text, blanks aside, begins with a card ("BEGIN:VCARD" in any case).
bool BeginsWithVCard(const char* text, size_t size);
