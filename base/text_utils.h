// Text helpers every thread uses. Blanks, everywhere in the program, are space, tab, CR and LF.
#pragma once
#include <cstddef>
#include <cstdint>

// The one bounded copy: copies at most dstSize - 1 bytes of src and always ends dst with a NUL
// (nothing happens when dstSize is 0). A missing src copies the empty text. Returns the length
// written, so a caller can tell truncation by comparing with strlen(src).
size_t CopyText(char* dst, size_t dstSize, const char* src);
// The same for the first srcLength bytes of src (stops early at a NUL).
size_t CopyTextN(char* dst, size_t dstSize, const char* src, size_t srcLength);
// Appends src behind the text already in dst, bounded like CopyText. Returns the new length.
size_t AppendText(char* dst, size_t dstSize, const char* src);

bool IsBlank(char c);
// Bytes 0 to 31 and 127. Bytes from 128 up are letters of the code page, not controls.
bool IsControlChar(char c);

// In-place clean-ups; a missing text is left alone.
void StripBlanks(char* text);     // every blank removed
void CollapseBlanks(char* text);  // outer blanks dropped, inner runs become one space
void KeepDigits(char* text);      // only 0 to 9 kept
// Every control character becomes a space. For names and numbers from outside the program (the
// LAN, a modem): a CR LF in a caller's name would start a line of its own in the caller log,
// read back at the next start as a call that never came.
void ReplaceControlChars(char* text);

// First place in text where pattern starts, compared without regard to case (and, on Windows,
// to accents) through CompareTextNoCase. A missing argument or an empty text: nullptr.
const char* FindTextNoCase(const char* text, const char* pattern);

// Milliseconds from the tick count start to now, right across the 49.7-day wrap of the counter.
inline uint32_t TicksSince(uint32_t start, uint32_t now) { return now - start; }
