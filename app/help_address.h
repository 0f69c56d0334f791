// Where the help opens: the section of the help page for a window, and the address of that
// section in the help file, which the browser is given.
#pragma once
#include <cstddef>

// The section name of a title as the help page's headings are named: letters and digits in lower
// case, every run of anything else one "-", none at either end ("Phone Book" gives "phone-book").
// The build names the headings of the help page the same way (tools/help_page.py). False, out
// empty, when it does not fit.
bool MakeHelpAnchor(const char* title, char* out, size_t outSize);

// "file:///" address of a file at path (UTF-8, backslashes or slashes), at section anchor (none
// when empty): folders joined by "/", and every byte but letters, digits, "-._~/:" written as
// %XX, so a blank, a "#" or a letter beyond ASCII in a user's name leaves the address whole.
// False, out empty, when it does not fit.
bool BuildFileAddress(const char* path, const char* anchor, char* out, size_t outSize);
