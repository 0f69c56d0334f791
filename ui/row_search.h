// Type-to-find in a list whose rows live in the owner's model: which row the letters the user
// types lead to. Portable, so the rule is tested natively; the list view helper (AnswerFindItem)
// asks it on the control's behalf.
#pragma once
#include <cstddef>
#include <functional>

// The text a row shows in the first column; valid until the next call.
using RowText = std::function<const char*(size_t row)>;

// The first row from start to the end whose text begins with prefix, compared without regard to
// case (CompareTextNoCase); with wrap the search then goes on from the top up to start. With whole,
// the text must be prefix itself. A start below 0 counts as the top, one beyond the rows as the
// end. -1 when no row matches, and for a missing or empty prefix.
int FindListRow(size_t rowCount, int start, const char* prefix, bool whole, bool wrap, const RowText& rowText);
