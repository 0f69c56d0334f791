// Phone numbers in their display form, by templates the user keeps in the format file: a key as
// long as the numbers it matches ("x" any digit, anything else itself) and a template whose "x"
// take the number's digits in order ("xxx-xxxx" makes 5551234 read 555-1234).
#pragma once
#include <cstddef>

inline constexpr char kNumberFormatSection[] = "Phone_Number_Format";
inline constexpr size_t kNumberFormatCacheSize = 512;
inline constexpr size_t kMaxKeptDigits = 127;

// The entries written when the section is missing or empty: keys of 4 to 14 "x", in this order.
inline constexpr const char* kDefaultNumberTemplates[] = {
    "xx xx",           "x xx xx",         "xx xx xx",           "xxx xx xx",
    "x xxx xx xx",     "x (xxx) x xx xx", "(xxx) xxx xx xx",    "x (xxx) xxx xx xx",
    "+xxx (xx) xxx xx xx", "+xxxx (xx) xxx xx xx", "xxxx (xxx) xxx xx xx",
};
inline constexpr int kShortestDefaultKey = 4;

// The default entries as a section, the form the system reads the file in ("xxxx=xx xx", then a
// key one "x" longer for each template, each entry NUL-terminated, an empty one last): what the
// defaults are written to the file from, and what numbers are formatted by while the file cannot
// be written. Returns the bytes used, the closing NUL included; 0, with out empty, when out is
// too small.
size_t BuildDefaultNumberSection(char* out, size_t outSize);

// Rewrites number (capacity bytes) by the first entry of section whose key matches it whole;
// section holds "key=template" entries, each NUL-terminated, an empty one last (at most
// sectionSize bytes are looked at). A number that matches no key stays as it is; a result longer
// than the buffer is cut to it.
void FormatNumberBySection(const char* section, size_t sectionSize, char* number, size_t capacity);
