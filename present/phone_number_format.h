// Formats a phone number in place by the user's format file beside the program (tellwire.cfg,
// section "Phone_Number_Format"), read once per run: edits take effect at the next start. While
// that file can be neither read nor written, the built-in defaults format the numbers, and the
// file is tried again once a minute.
#pragma once
#include <cstddef>
#include <cstdint>

// For the screen: "P", "O" and "-", which stand for no number, are shown in words.
void FormatPhoneNumber(char* number, size_t capacity);
// The same at the tick count now, which decides whether a failed file is due for another try.
void FormatPhoneNumber(char* number, size_t capacity, uint32_t now);
