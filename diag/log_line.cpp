#include "diag/log_line.h"

#include <cstdio>
#include <cstring>

#include "base/text_utils.h"

size_t FormatLogPrefix(char* out, size_t outSize, uint32_t elapsedMs) {
    if (out == nullptr || outSize == 0) return 0;
    int written;
    if (elapsedMs <= 99999) {
        written = std::snprintf(out, outSize, "%5d  ", static_cast<int>(elapsedMs));
    } else {
        uint32_t seconds = elapsedMs / 1000;
        written = std::snprintf(out, outSize, "%2d.%02d  ", static_cast<int>(seconds / 60),
                                static_cast<int>(seconds % 60));
    }
    if (written < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(written) < outSize ? static_cast<size_t>(written) : outSize - 1;
}

void TrimLogText(char* text) {
    if (text == nullptr || text[0] == '\0') return;
    size_t length = std::strlen(text);
    while (length > 1 && IsBlank(text[length - 1])) text[--length] = '\0';
}

int LogLinesToDrop(int count) { return count > kMaxLogLines - 1 ? count - (kMaxLogLines - 1) : 0; }
