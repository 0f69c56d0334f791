// The countdown on the crash dialog's "Ignore" button: "Ignore [60]" down to "Ignore [0]", one
// step a second, after which the dialog chooses Ignore by itself.
#pragma once
#include <cstddef>

// A button without a count starts from this, so the first step shows one less.
inline constexpr int kCountdownStart = 61;

// Cuts the text at its first " [", leaving the button's own caption.
void CutCountdown(char* text);

// The button's text after one more second: its caption and " [n-1]", where n is the number
// behind the "[" of the current text, or kCountdownStart when there is none. Returns true when
// that count has run out (n was 1 or less) and the dialog must now choose Ignore.
bool NextCountdownText(const char* current, char* out, size_t outSize);
