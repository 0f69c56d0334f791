#include "app/help_address.h"

#include <cstring>

namespace {

bool IsAsciiLetterOrDigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Appends one byte; false when out (size, used so far) has no room for it and the NUL.
bool Put(char* out, size_t size, size_t* used, char c) {
    if (*used + 1 >= size) return false;
    out[(*used)++] = c;
    out[*used] = '\0';
    return true;
}

bool Fail(char* out, size_t size) {
    if (size > 0) out[0] = '\0';
    return false;
}

}  // namespace

bool MakeHelpAnchor(const char* title, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (title == nullptr) return false;
    size_t used = 0;
    bool dash = false;
    for (const unsigned char* at = reinterpret_cast<const unsigned char*>(title); *at != '\0'; ++at) {
        if (!IsAsciiLetterOrDigit(*at)) {
            dash = used > 0;
            continue;
        }
        if (dash && !Put(out, outSize, &used, '-')) return Fail(out, outSize);
        dash = false;
        char c = static_cast<char>(*at >= 'A' && *at <= 'Z' ? *at - 'A' + 'a' : *at);
        if (!Put(out, outSize, &used, c)) return Fail(out, outSize);
    }
    return true;
}

bool BuildFileAddress(const char* path, const char* anchor, char* out, size_t outSize) {
    static const char kHex[] = "0123456789ABCDEF";
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (path == nullptr) return false;
    size_t used = 0;
    for (const char* at = "file:///"; *at != '\0'; ++at) {
        if (!Put(out, outSize, &used, *at)) return Fail(out, outSize);
    }
    for (const unsigned char* at = reinterpret_cast<const unsigned char*>(path); *at != '\0'; ++at) {
        unsigned char c = *at == '\\' ? '/' : *at;
        bool plain = IsAsciiLetterOrDigit(c) || std::strchr("-._~/:", c) != nullptr;
        bool fits = plain ? Put(out, outSize, &used, static_cast<char>(c))
                          : Put(out, outSize, &used, '%') && Put(out, outSize, &used, kHex[c >> 4]) &&
                                Put(out, outSize, &used, kHex[c & 15]);
        if (!fits) return Fail(out, outSize);
    }
    if (anchor != nullptr && anchor[0] != '\0') {
        if (!Put(out, outSize, &used, '#')) return Fail(out, outSize);
        for (const char* at = anchor; *at != '\0'; ++at) {
            if (!Put(out, outSize, &used, *at)) return Fail(out, outSize);
        }
    }
    return true;
}
