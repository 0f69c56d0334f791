#include "present/number_format.h"

#include <cstring>

#include "base/text_utils.h"

namespace {

bool IsPlaceholder(char c) { return c == 'x' || c == 'X'; }

// Matches number against the key at the start of entry (up to its "="); on a match, kept holds
// the digits the placeholders took and the result points at the template.
const char* MatchEntry(const char* entry, const char* end, const char* number, char* kept, size_t* keptCount) {
    *keptCount = 0;
    const char* key = entry;
    for (const char* n = number; *n != '\0'; ++n, ++key) {
        if (key >= end || *key == '=' || *key == '\0') return nullptr;
        if (IsPlaceholder(*key)) {
            if (*n < '0' || *n > '9' || *keptCount >= kMaxKeptDigits) return nullptr;
            kept[(*keptCount)++] = *n;
        } else if (*key != *n) {
            return nullptr;
        }
    }
    if (key >= end || *key != '=' || *keptCount == 0) return nullptr;
    return key + 1;
}

}  // namespace

void FormatNumberBySection(const char* section, size_t sectionSize, char* number, size_t capacity) {
    if (section == nullptr || number == nullptr || capacity == 0) return;
    const char* end = section + sectionSize;
    char kept[kMaxKeptDigits];
    for (const char* entry = section; entry < end && *entry != '\0';) {
        const char* entryEnd = static_cast<const char*>(std::memchr(entry, '\0', static_cast<size_t>(end - entry)));
        if (entryEnd == nullptr) entryEnd = end;
        size_t keptCount = 0;
        const char* pattern = MatchEntry(entry, entryEnd, number, kept, &keptCount);
        if (pattern != nullptr) {
            char result[kNumberFormatCacheSize];
            size_t used = 0;
            size_t next = 0;
            for (const char* t = pattern; t < entryEnd && used + 1 < sizeof result; ++t) {
                if (IsPlaceholder(*t) && next >= keptCount) break;  // more placeholders than digits: the result ends
                result[used++] = IsPlaceholder(*t) ? kept[next++] : *t;
            }
            result[used] = '\0';
            CopyText(number, capacity, result);
            return;
        }
        entry = entryEnd + 1;
    }
}

size_t BuildDefaultNumberSection(char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    size_t used = 0;
    size_t keyLength = kShortestDefaultKey;
    for (const char* pattern : kDefaultNumberTemplates) {
        size_t patternLength = std::strlen(pattern);
        // The key, "=", the template and its NUL, and room for the closing NUL behind them.
        if (used + keyLength + 1 + patternLength + 2 > outSize) {
            out[0] = '\0';
            return 0;
        }
        std::memset(out + used, 'x', keyLength);
        used += keyLength;
        out[used++] = '=';
        std::memcpy(out + used, pattern, patternLength + 1);
        used += patternLength + 1;
        ++keyLength;
    }
    out[used++] = '\0';
    return used;
}
