// Formats a phone number in place by the user's format file beside the program (tellwire.cfg,
// section "Phone_Number_Format"), read once per run: edits take effect at the next start.
#pragma once
#include <cstddef>

void FormatPhoneNumber(char* number, size_t capacity);
