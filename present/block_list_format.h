// The block list's texts: what a blocked number is (a number, matched by the phone book's tail
// rule, or the start of numbers followed by "*", such as "1800*"), and its file, one entry a line
// as "number:note". The number never holds a colon; the note runs to the end of the line and may.
#pragma once
#include <cstddef>

#include "present/phone_book_format.h"

// An entry's number as the list keeps it: at most 62 digits, then the "*" of a prefix.
inline constexpr size_t kBlockNumberSize = 64;
inline constexpr size_t kBlockNoteSize = 256;  // what of a note a line keeps, with its NUL
// A line the page writes: number, colon, note, CR LF, NUL.
inline constexpr size_t kBlockLineSize = kBlockNumberSize + 1 + kBlockNoteSize + 2;

// The digits of what the user typed, in order, and a "*" behind them when the text ends with one
// (blanks aside): "1-800-*" is the prefix "1800*", "(212) 555 0199" the number "2125550199". A
// "*" anywhere else is dropped with the other characters that are not digits. out holds
// kBlockNumberSize bytes or fewer; digits that do not fit are dropped, the "*" is kept.
void NormalizeBlockNumber(const char* typed, char* out, size_t outSize);

// True when the entry blocks the call's number: a prefix when the call's number starts with its
// digits (a prefix without digits blocks nothing), any other entry by TailMatch. The call's
// number is taken as given; a withheld or out-of-area call ("P", "O") matches no entry.
bool BlockEntryMatches(const char* entry, const char* number);

// One entry read from the file.
struct BlockLine {
    char number[kBlockNumberSize];  // normalised; empty for a line that names no number
    const char* note;               // into line.text, behind the colon and its blanks; "" without
    BookLine line;                  // the line as read, blanks collapsed
};

// Reads the next non-empty line as the phone book's reader does (NextBookLine): the part before
// the first colon is the number, normalised; the rest, its blanks skipped, the note. A line without
// a colon is a number without a note. False at the end of the text.
bool NextBlockLine(BookCursor* cursor, BlockLine* entry);
