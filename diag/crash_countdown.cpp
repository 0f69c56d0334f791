#include "diag/crash_countdown.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/text_utils.h"

namespace {

constexpr char kCountMark[] = " [";

// Reads a number like atoi (leading blanks, a sign, digits up to the first other character), but
// saturating instead of overflowing on an absurd count.
int ReadCount(const char* text) {
    return static_cast<int>(std::clamp<long long>(std::strtoll(text, nullptr, 10), INT_MIN, INT_MAX));
}

}  // namespace

void CutCountdown(char* text) {
    if (text == nullptr) return;
    char* mark = std::strstr(text, kCountMark);
    if (mark != nullptr) *mark = '\0';
}

bool NextCountdownText(const char* current, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    CopyText(out, outSize, current);
    int count = kCountdownStart;
    char* mark = std::strstr(out, kCountMark);
    if (mark != nullptr) {
        count = ReadCount(mark + sizeof kCountMark - 1);
        *mark = '\0';
    }
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, " [%d]", count > INT_MIN ? count - 1 : count);
    AppendText(out, outSize, suffix);
    return count <= 1;
}
