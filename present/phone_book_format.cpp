#include "present/phone_book_format.h"

#include <cstring>

#include "base/text_utils.h"

namespace {

bool EndsLine(char c) { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

bool TailMatch(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    size_t aLength = strlen(a);
    size_t bLength = strlen(b);
    if (aLength < kShortestTailMatch || bLength < kShortestTailMatch) return false;
    if (aLength < bLength) return strcmp(a, b + (bLength - aLength)) == 0;
    return strcmp(a + (aLength - bLength), b) == 0;
}

bool NumberInList(const char* number, const char* numbers) {
    if (number == nullptr || numbers == nullptr) return false;
    const char* at = numbers;
    while (*at != '\0' && !IsDigit(*at)) ++at;
    while (*at != '\0') {
        size_t length = 0;
        while (length + 1 < kDigitRunSize && IsDigit(at[length])) ++length;
        char run[kDigitRunSize];
        CopyTextN(run, sizeof run, at, length);
        if (TailMatch(number, run)) return true;
        at += length;
        while (*at != '\0' && !IsDigit(*at)) ++at;
    }
    return false;
}

void NormalizeNumbers(const char* text, char* out, size_t limit) {
    if (out == nullptr || limit == 0) return;
    out[0] = '\0';
    if (text == nullptr) return;
    size_t length = 0;
    bool inRun = false;
    for (size_t i = 0; i < kNormalizeInputLimit && text[i] != '\0'; ++i) {
        if (!IsDigit(text[i])) {
            inRun = false;
            continue;
        }
        if (!inRun && length > 0) {
            // ", " and at least one digit behind it, and still room for the NUL.
            if (length + 3 >= limit) break;
            out[length++] = ',';
            out[length++] = ' ';
        }
        if (length + 1 >= limit) break;
        out[length++] = text[i];
        inRun = true;
    }
    out[length] = '\0';
}

bool NextBookLine(BookCursor* cursor, BookLine* line) {
    if (cursor == nullptr || line == nullptr || cursor->text == nullptr) return false;
    const char* text = cursor->text;
    size_t at = cursor->at;
    while (at < cursor->size && (IsBlank(text[at]) || text[at] == '\0')) ++at;
    if (at >= cursor->size) {
        cursor->at = cursor->size;
        return false;
    }
    size_t length = 0;
    while (at + length < cursor->size && !EndsLine(text[at + length])) ++length;
    cursor->at = at + length;
    CopyTextN(line->text, sizeof line->text, text + at, length);
    CollapseBlanks(line->text);
    char* colon = strchr(line->text, ':');
    line->hasColon = colon != nullptr;
    line->nameAt = 0;
    if (colon != nullptr) {
        *colon = '\0';
        size_t nameAt = static_cast<size_t>(colon - line->text) + 1;
        while (IsBlank(line->text[nameAt])) ++nameAt;
        line->nameAt = nameAt;
    }
    return true;
}

size_t FormatBookLine(const char* numbers, const char* name, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    if (numbers == nullptr) numbers = "";
    if (name == nullptr) name = "";
    size_t needed = strlen(numbers) + 1 + strlen(name) + 2;
    if (needed >= outSize) {
        out[0] = '\0';
        return 0;
    }
    CopyText(out, outSize, numbers);
    AppendText(out, outSize, ":");
    AppendText(out, outSize, name);
    return AppendText(out, outSize, "\r\n");
}
