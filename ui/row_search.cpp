#include "ui/row_search.h"

#include <cstring>

#include "base/compare_text.h"

namespace {

bool Matches(const char* text, const char* prefix, size_t prefixLength, bool whole) {
    if (text == nullptr) return false;
    size_t length = strlen(text);
    if (length < prefixLength || (whole && length != prefixLength)) return false;
    int compared = static_cast<int>(prefixLength);
    return CompareTextNoCase(text, compared, prefix, compared) == 0;
}

}  // namespace

int FindListRow(size_t rowCount, int start, const char* prefix, bool whole, bool wrap, const RowText& rowText) {
    if (prefix == nullptr || prefix[0] == '\0') return -1;
    size_t prefixLength = strlen(prefix);
    size_t first = start < 0 ? 0 : static_cast<size_t>(start);
    if (first > rowCount) first = rowCount;
    for (size_t row = first; row < rowCount; ++row) {
        if (Matches(rowText(row), prefix, prefixLength, whole)) return static_cast<int>(row);
    }
    for (size_t row = 0; wrap && row < first; ++row) {
        if (Matches(rowText(row), prefix, prefixLength, whole)) return static_cast<int>(row);
    }
    return -1;
}
