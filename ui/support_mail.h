// A new message to the maker's support address in the user's mail program.
#pragma once
#include <windows.h>

// Opens, with the shell's "open" verb in a maximised window, a mail to the support address whose
// subject names the product and version ("Tellwire v.1.2", its blank written as %20), so that a
// report says which release it is about. Whether the shell found a mail program is not checked:
// there is nothing better to offer.
void OpenSupportMail(HWND owner);
