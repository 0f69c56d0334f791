// How a program log line looks: the time since the line before it, then the text.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int kMaxLogLines = 1001;
inline constexpr size_t kLogPrefixSize = 16;

// "%5d  " of the milliseconds up to 99999, else "%2d.%02d  " of minutes and seconds.
// Returns the prefix's length.
size_t FormatLogPrefix(char* out, size_t outSize, uint32_t elapsedMs);

// Cuts trailing blanks (space, tab, CR, LF), but never the first character, so a line made of
// blanks alone still shows that something was logged.
void TrimLogText(char* text);

// Lines to remove from the top before one more is added to a list of count lines.
int LogLinesToDrop(int count);
