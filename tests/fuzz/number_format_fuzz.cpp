// The number formatter over any section and any number: the section as the program caches it (a
// zero-filled 512-byte block holding at most 510 bytes) and in a block of exactly its own size,
// the number in the buffers of its two callers (64 and 512 bytes) and in smaller ones.
//
// Input: the number, a LF, then the section's bytes ("key=template" entries, each ended by a
// NUL). Without a LF the whole input is the number, formatted by the default entries.
#include <cstring>
#include <string>

#include "present/number_format.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr size_t kSectionRead = kNumberFormatCacheSize - 2;
constexpr size_t kCapacities[] = {kNumberFormatCacheSize, 64, 8, 2, 1};

std::string DefaultSection() {
    std::string section;
    size_t length = kShortestDefaultKey;
    for (const char* pattern : kDefaultNumberTemplates) {
        section += std::string(length++, 'x') + "=" + pattern;
        section.push_back('\0');
    }
    return section;
}

std::string Formatted(const char* section, size_t sectionSize, const std::string& number, size_t capacity) {
    std::vector<char> buffer = FixedText(number.c_str(), capacity);
    FormatNumberBySection(section, sectionSize, buffer.data(), buffer.size());
    size_t length = strnlen(buffer.data(), buffer.size());
    FUZZ_CHECK(length < capacity);
    return std::string(buffer.data(), length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* lineEnd = static_cast<const char*>(std::memchr(bytes, '\n', size));
    std::string number(bytes, lineEnd != nullptr ? static_cast<size_t>(lineEnd - bytes) : size);
    number.resize(strnlen(number.c_str(), number.size()));
    std::string section = lineEnd != nullptr ? std::string(lineEnd + 1, bytes + size) : DefaultSection();
    if (section.size() > kSectionRead) section.resize(kSectionRead);

    std::vector<char> cache(kNumberFormatCacheSize, '\0');
    std::memcpy(cache.data(), section.data(), section.size());
    std::vector<char> exact(section.begin(), section.end());

    std::string whole;
    for (size_t capacity : kCapacities) {
        std::string cached = Formatted(cache.data(), cache.size(), number, capacity);
        std::string bare = Formatted(exact.data(), exact.size(), number, capacity);
        FUZZ_CHECK(cached == bare);  // the zeros behind a section change nothing
        if (capacity == kNumberFormatCacheSize) whole = cached;
        // A smaller buffer holds the same result, cut to it, whenever the number itself fits.
        if (number.size() < capacity) FUZZ_CHECK(cached == whole.substr(0, capacity - 1));
    }
    // A key must take at least one digit: a number without any is never rewritten.
    if (number.find_first_of("0123456789") == std::string::npos) FUZZ_CHECK(whole == number.substr(0, kNumberFormatCacheSize - 1));
    // An empty section, and none at all, leave every number alone.
    FUZZ_CHECK(Formatted(cache.data(), 0, number, kNumberFormatCacheSize) == number.substr(0, kNumberFormatCacheSize - 1));
    std::vector<char> untouched = FixedText(number.c_str(), 64);
    FormatNumberBySection(nullptr, 0, untouched.data(), untouched.size());
    FUZZ_CHECK(number.compare(0, 63, untouched.data()) == 0);
    return 0;
}
