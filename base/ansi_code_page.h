// The program's code page (the system's ANSI code page) as a map for the portable conversions.
#pragma once
#include "base/code_page_text.h"

// Each byte from 0x80 up that the code page turns into one character. On a system whose code
// page takes two bytes for a character, no single upper byte is one: every character outside
// ASCII then comes out as "?", as the program's one-byte texts cannot hold it anyway.
CodePageMap ReadAnsiCodePageMap();
