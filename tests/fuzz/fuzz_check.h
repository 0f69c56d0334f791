// What every fuzz target shares: a check that stops the run on a broken rule, so libFuzzer keeps
// the input that broke it as it keeps one that crashed; exact-size copies of fuzz data, so
// AddressSanitizer sees a read one byte past what the parser was given; and the splitting of an
// input into its parts.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken rule: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// size bytes of data and a NUL behind them, in a heap block of exactly that size.
inline std::vector<char> TextOf(const uint8_t* data, size_t size) {
    std::vector<char> text(size + 1, '\0');
    if (size > 0) std::memcpy(text.data(), data, size);
    return text;
}

// text cut to fit a buffer of exactly size bytes (size > 0), ending in its NUL.
inline std::vector<char> FixedText(const char* text, size_t size) {
    std::vector<char> buffer(size, '\0');
    std::memcpy(buffer.data(), text, strnlen(text, size - 1));
    return buffer;
}

// The input up to the first `end` byte, which is taken off with it. Without one, found is false
// and the part is all of the input, which stays as it is.
inline std::string TakePart(const uint8_t** data, size_t* size, char end, bool* found = nullptr) {
    const void* at = std::memchr(*data, end, *size);
    if (found != nullptr) *found = at != nullptr;
    if (at == nullptr) return std::string(reinterpret_cast<const char*>(*data), *size);
    size_t length = static_cast<size_t>(static_cast<const uint8_t*>(at) - *data);
    std::string part(reinterpret_cast<const char*>(*data), length);
    *data += length + 1;
    *size -= length + 1;
    return part;
}
