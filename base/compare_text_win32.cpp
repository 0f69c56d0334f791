#include <windows.h>

#include "base/compare_text.h"

int CompareTextNoCase(const char* a, int aLength, const char* b, int bLength) {
    // SORT_STRINGSORT keeps "-" and "'" significant, so "555-1234" never equals "5551234".
    int result = CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE | NORM_IGNORENONSPACE | SORT_STRINGSORT,
                                a, aLength, b, bLength);
    if (result == 0) return aLength == bLength ? 1 : aLength - bLength;  // failed: never "equal"
    return result - CSTR_EQUAL;
}
