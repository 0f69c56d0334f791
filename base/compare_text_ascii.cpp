#include "base/compare_text.h"

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
}  // namespace

int CompareTextNoCase(const char* a, int aLength, const char* b, int bLength) {
    int common = aLength < bLength ? aLength : bLength;
    for (int i = 0; i < common; ++i) {
        int diff = FoldAscii(static_cast<unsigned char>(a[i])) - FoldAscii(static_cast<unsigned char>(b[i]));
        if (diff != 0) return diff;
    }
    return aLength - bLength;
}
