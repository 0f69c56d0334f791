// Texts between the program's 8-bit code page and the Unicode encodings other programs write
// (address books export UTF-8, some UTF-16). The program keeps every text in one byte per
// character; a character its code page cannot hold becomes "?", as the system's own conversion
// does with its default character.
#pragma once
#include <cstddef>
#include <string>

// The characters of a single-byte code page's upper half: high[b - 0x80] is the Unicode
// character of byte b, 0 for a byte that stands for none. Bytes below 0x80 are ASCII.
struct CodePageMap {
    char32_t high[128];
};

// Windows-1252, the code page of Western European and American systems (five bytes unused).
const CodePageMap& Windows1252Map();
// ISO 8859-1: every byte is the character of the same number.
const CodePageMap& Latin1Map();

// How a file's bytes are to be read, decided by its byte-order mark or, without one, by whether
// the whole text is valid UTF-8 (a file of plain ASCII is both); otherwise the text is taken to be
// in the program's code page already, as older exports write it.
enum class TextEncoding { CodePage, Utf8, Utf16LittleEndian, Utf16BigEndian };
TextEncoding DetectTextEncoding(const char* data, size_t size, size_t* textStart);

bool IsValidUtf8(const char* text, size_t size);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is dropped.
std::string Utf16ToUtf8(const char* data, size_t size, bool bigEndian);

// UTF-8 to the code page of map: each character the code page lacks, and each byte of a broken
// sequence, becomes "?".
std::string Utf8ToCodePage(const char* text, size_t size, const CodePageMap& map);
// The reverse, for files written for other programs; a byte without a character becomes "?".
std::string CodePageToUtf8(const char* text, size_t size, const CodePageMap& map);
// Bytes of one code page into another (both described by maps), through their characters.
std::string RecodeText(const char* text, size_t size, const CodePageMap& from, const CodePageMap& to);
