#include "base/text_utils.h"

#include <cstring>

#include "base/compare_text.h"

size_t CopyTextN(char* dst, size_t dstSize, const char* src, size_t srcLength) {
    if (dst == nullptr || dstSize == 0) return 0;
    size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < dstSize && n < srcLength && src[n] != '\0') {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = '\0';
    return n;
}

size_t CopyText(char* dst, size_t dstSize, const char* src) {
    return CopyTextN(dst, dstSize, src, static_cast<size_t>(-1));
}

size_t AppendText(char* dst, size_t dstSize, const char* src) {
    if (dst == nullptr || dstSize == 0) return 0;
    size_t used = strnlen(dst, dstSize - 1);
    return used + CopyText(dst + used, dstSize - used, src);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsControlChar(char c) {
    unsigned char byte = static_cast<unsigned char>(c);  // char is signed: 0xE9 must not count
    return byte < 32 || byte == 127;
}

namespace {

// Keeps the characters keep accepts, in order.
void KeepOnly(char* text, bool (*keep)(char)) {
    if (text == nullptr) return;
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (keep(*in)) *out++ = *in;
    }
    *out = '\0';
}

}  // namespace

void StripBlanks(char* text) { KeepOnly(text, [](char c) { return !IsBlank(c); }); }

void CollapseBlanks(char* text) {
    if (text == nullptr) return;
    char* out = text;
    bool pendingSpace = false;
    for (const char* in = text; *in != '\0'; ++in) {
        if (IsBlank(*in)) {
            pendingSpace = out != text;  // leading blanks never produce a space
            continue;
        }
        if (pendingSpace) *out++ = ' ';
        pendingSpace = false;
        *out++ = *in;
    }
    *out = '\0';
}

void KeepDigits(char* text) { KeepOnly(text, [](char c) { return c >= '0' && c <= '9'; }); }

void ReplaceControlChars(char* text) {
    if (text == nullptr) return;
    for (char* at = text; *at != '\0'; ++at) {
        if (IsControlChar(*at)) *at = ' ';
    }
}

const char* FindTextNoCase(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr || text[0] == '\0') return nullptr;
    size_t textLength = strlen(text);
    size_t patternLength = strlen(pattern);
    if (textLength > 0x7FFFFFFF || patternLength > textLength) return nullptr;
    int length = static_cast<int>(patternLength);
    for (size_t at = 0; at + patternLength <= textLength; ++at) {
        if (CompareTextNoCase(text + at, length, pattern, length) == 0) return text + at;
    }
    return nullptr;
}
