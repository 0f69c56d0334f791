// A mail to the support address as a "mailto:" link, for the mail program the shell knows, and
// the choice between that link and the mail program's own interface (Simple MAPI).
#pragma once
#include <cstddef>
#include <cstdint>

// Percent-encodes text for a mailto field: letters, digits and "-._~" stay, every other byte
// becomes %XX, and a line feed without a carriage return before it becomes %0D%0A (mail wants
// CR LF line breaks). Returns false, with out empty, when the result does not fit.
bool PercentEncode(const char* text, char* out, size_t outSize);
// Room that PercentEncode may need for a text of this length, its NUL included.
size_t PercentEncodedSize(size_t length);

// "mailto:" address "?subject=" subject "&body=" body, the subject and body percent-encoded.
// Returns false, with out empty, when the link does not fit.
bool BuildMailtoLink(const char* address, const char* subject, const char* body, char* out, size_t outSize);

// The body of a crash mail that goes as a link, which cannot carry files: the prompt, then where
// the report and the dump wait for the user to attach them by hand (each only when given).
// Returns false, with out empty, when the body does not fit.
bool BuildBodyWithFiles(const char* prompt, const char* report, const char* dump, char* out, size_t outSize);

// After MAPISendMail answered result: whether the mail still has to go through a mailto link.
// Not after it was sent (0) nor after the user cancelled it (1, MAPI_USER_ABORT); every other
// answer means that no mail program took the mail.
bool MailLinkNeededAfter(uint32_t mapiResult);
