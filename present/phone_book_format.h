// The phone book's texts: matching a caller's number against a contact's numbers, the numbers as
// the page keeps them ("5551234, 2125559876"), and the file, one contact per line as
// "numbers:name". Numbers come first because they never hold a colon; the name runs to the end
// of the line and may.
#pragma once
#include <cstddef>

inline constexpr size_t kNumbersCellSize = 256;     // a Phone Number(s) cell as lookups read it
inline constexpr size_t kDigitRunSize = 256;        // one number inside it: at most 255 digits
inline constexpr size_t kNormalizeInputLimit = 2048;  // what NormalizeNumbers looks at of a text
inline constexpr size_t kBookLineSize = 2048;       // a file line: at most 2047 characters
// A line the page writes: numbers (511), colon, name (255), CR LF, NUL.
inline constexpr size_t kSavedLineSize = 512 + 1 + 256 + 2 + 1;

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Fewer characters than this say too little about a caller to name them.
inline constexpr size_t kShortestTailMatch = 5;

// True when both texts have at least 5 characters and the shorter equals the end of the longer:
// a contact stored without the area code matches a call that carries one, and the reverse.
// Shorter texts never match, so an extension or a short code cannot take a stranger's name.
bool TailMatch(const char* a, const char* b);

// True when one of the digit runs of numbers (each cut at 255 digits) tail-matches number. The
// number is taken as given: a call reported as "555-1234" matches only a run ending in it.
bool NumberInList(const char* number, const char* numbers);

// The digit runs of text (its first 2048 characters), in order, joined by ", ", into out, which
// holds limit bytes. A separator is written only with room for at least one digit behind it, and
// once something does not fit nothing more is written, so two numbers never run together. A text
// without digits gives the empty text. out must not overlap text: the result can be longer.
void NormalizeNumbers(const char* text, char* out, size_t limit);

// One line of the phone book file, blanks collapsed and split at its first colon.
struct BookLine {
    char text[kBookLineSize];  // the numbers, NUL, the name; the whole line when it has no colon
    bool hasColon;
    size_t nameAt;  // where the name starts in text (blanks behind the colon skipped)
};

struct BookCursor {
    const char* text;
    size_t size;
    size_t at;
};

// Reads the next line: blanks and empty lines before it are skipped; a line ends at CR, LF, NUL
// or the end of the text, and only its first 2047 characters count (the rest of a longer line is
// passed over, it cannot be a contact of its own). A NUL inside the file ends a line, not the
// file: contacts behind a stray NUL would otherwise vanish at the next save. False at the end.
bool NextBookLine(BookCursor* cursor, BookLine* line);

// "numbers:name\r\n" into out. Returns the length; 0 (and out empty) when the line does not fit,
// so no line is ever written cut short of its end.
size_t FormatBookLine(const char* numbers, const char* name, char* out, size_t outSize);
