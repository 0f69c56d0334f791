// A contacts file of another program, whichever kind it is: vCard when its text begins with
// BEGIN:VCARD, CSV otherwise. Its encoding comes from its byte-order mark (UTF-8, UTF-16 in either
// byte order) or, without one, from its bytes: valid UTF-8 is read as UTF-8, anything else as the
// program's own code page, as older exports write it. Names end up in the code page that map
// describes, characters it lacks as "?".
#pragma once
#include <cstddef>

#include "base/code_page_text.h"
#include "present/contact_record.h"

ContactFile ReadContactFile(const char* data, size_t size, const CodePageMap& map);
