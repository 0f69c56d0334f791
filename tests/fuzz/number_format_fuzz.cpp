// The number formatter. Input: the number, a LF, then the section ("key=template" entries, each
// NUL-ended); without a LF the whole input is the number, formatted by the built defaults.
#include "present/number_format.h"
#include "tests/fuzz/fuzz_check.h"

static std::string Formatted(const std::vector<char>& section, const std::string& number, size_t capacity) {
    std::vector<char> buffer = FixedText(number.c_str(), capacity);
    FormatNumberBySection(section.data(), section.size(), buffer.data(), buffer.size());
    FUZZ_CHECK(strnlen(buffer.data(), capacity) < capacity);
    return buffer.data();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool hasSection = false;
    std::string number = TakePart(&data, &size, '\n', &hasSection).c_str();
    std::vector<char> cache(kNumberFormatCacheSize, '\0');  // as the program caches it: at most 510 bytes
    size_t used = hasSection ? std::min(size, kNumberFormatCacheSize - 2) : BuildDefaultNumberSection(&cache[0], 512);
    if (hasSection) std::memcpy(cache.data(), data, used);
    std::string whole = Formatted(cache, number, kNumberFormatCacheSize);
    for (size_t capacity : {size_t{64}, size_t{8}, size_t{1}}) {  // the other callers' buffers, and smaller
        std::string cut = Formatted(cache, number, capacity);
        FUZZ_CHECK(cut == Formatted(std::vector<char>(cache.begin(), cache.begin() + used), number, capacity));
        if (number.size() < capacity) FUZZ_CHECK(cut == whole.substr(0, capacity - 1));  // the same result, cut
    }
    // A number without digits is never rewritten (a key takes at least one); no section changes nothing.
    std::string fitting = number.substr(0, kNumberFormatCacheSize - 1);
    if (number.find_first_of("0123456789") == std::string::npos) FUZZ_CHECK(whole == fitting);
    FUZZ_CHECK(Formatted({}, number, kNumberFormatCacheSize) == fitting);
    return 0;
}
