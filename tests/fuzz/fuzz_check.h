// What every fuzz target shares: a check that stops the run on a broken rule, so libFuzzer keeps
// the input that broke it as it keeps one that crashed, and exact-size copies of fuzz data so
// AddressSanitizer sees a read one byte past what the parser was given.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    size_t length = strnlen(text, size - 1);
    std::memcpy(buffer.data(), text, length);
    return buffer;
}
