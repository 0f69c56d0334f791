#include "base/code_page_text.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kNone = 0;

CodePageMap MakeLatin1() {
    CodePageMap map{};
    for (int i = 0; i < 128; ++i) map.high[i] = static_cast<char32_t>(0x80 + i);
    return map;
}

// Latin-1 but for the 32 bytes from 0x80, which Windows gives typographic characters.
CodePageMap MakeWindows1252() {
    static constexpr char32_t kSpecial[32] = {
        0x20AC, kNone,  0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kNone,  0x017D, kNone,
        kNone,  0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kNone,  0x017E, 0x0178,
    };
    CodePageMap map = MakeLatin1();
    for (int i = 0; i < 32; ++i) map.high[i] = kSpecial[i];
    return map;
}

// The character at text[at] and how many bytes it takes; length 0 for a broken sequence
// (overlong forms, surrogates and characters past U+10FFFF included).
struct Decoded {
    char32_t character;
    size_t length;
};

Decoded DecodeUtf8(const unsigned char* text, size_t size, size_t at) {
    unsigned char lead = text[at];
    if (lead < 0x80) return {lead, 1};
    size_t length = 0;
    char32_t character = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, character = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, character = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, character = lead & 0x07, smallest = 0x10000;
    } else {
        return {0, 0};
    }
    if (size - at < length) return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = text[at + i];
        if ((next & 0xC0) != 0x80) return {0, 0};
        character = (character << 6) | (next & 0x3F);
    }
    if (character < smallest || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) return {0, 0};
    return {character, length};
}

void AppendUtf8(std::string* out, char32_t c) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
        return;
    }
    // The lead byte tells how many continuation bytes follow, each with six bits of the character.
    static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out->push_back(static_cast<char>(kLead[more] | (c >> (6 * more))));
    for (int shift = 6 * (more - 1); shift >= 0; shift -= 6) {
        out->push_back(static_cast<char>(0x80 | ((c >> shift) & 0x3F)));
    }
}

// The byte of map that stands for c, or "?".
char EncodeCharacter(char32_t c, const CodePageMap& map) {
    if (c < 0x80) return static_cast<char>(c);
    for (int i = 0; i < 128; ++i) {
        if (map.high[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

char32_t CharacterOf(unsigned char byte, const CodePageMap& map) { return byte < 0x80 ? byte : map.high[byte - 0x80]; }

}  // namespace

const CodePageMap& Windows1252Map() {
    static const CodePageMap map = MakeWindows1252();
    return map;
}

const CodePageMap& Latin1Map() {
    static const CodePageMap map = MakeLatin1();
    return map;
}

bool IsValidUtf8(const char* text, size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t at = 0; at < size;) {
        size_t length = DecodeUtf8(bytes, size, at).length;
        if (length == 0) return false;
        at += length;
    }
    return true;
}

TextEncoding DetectTextEncoding(const char* data, size_t size, size_t* textStart) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    size_t start = 0;
    TextEncoding encoding = TextEncoding::CodePage;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        start = 3, encoding = TextEncoding::Utf8;
    } else if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        start = 2, encoding = TextEncoding::Utf16LittleEndian;
    } else if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        start = 2, encoding = TextEncoding::Utf16BigEndian;
    } else if (IsValidUtf8(data, size)) {
        encoding = TextEncoding::Utf8;
    }
    if (textStart != nullptr) *textStart = start;
    return encoding;
}

std::string Utf16ToUtf8(const char* data, size_t size, bool bigEndian) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? (bytes[2 * i] << 8) | bytes[2 * i + 1] : bytes[2 * i] | (bytes[2 * i + 1] << 8);
    };
    std::string out;
    out.reserve(size);
    size_t units = size / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(&out, c);
    }
    return out;
}

std::string Utf8ToCodePage(const char* text, size_t size, const CodePageMap& map) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::string out;
    out.reserve(size);
    for (size_t at = 0; at < size;) {
        Decoded decoded = DecodeUtf8(bytes, size, at);
        if (decoded.length == 0) {
            out.push_back('?');
            ++at;
            continue;
        }
        out.push_back(EncodeCharacter(decoded.character, map));
        at += decoded.length;
    }
    return out;
}

std::string CodePageToUtf8(const char* text, size_t size, const CodePageMap& map) {
    std::string out;
    out.reserve(size);
    for (size_t at = 0; at < size; ++at) {
        char32_t c = CharacterOf(static_cast<unsigned char>(text[at]), map);
        AppendUtf8(&out, c == kNone && text[at] != '\0' ? U'?' : c);
    }
    return out;
}

std::string RecodeText(const char* text, size_t size, const CodePageMap& from, const CodePageMap& to) {
    std::string out(text, size);
    for (char& byte : out) {
        auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) continue;
        char32_t c = CharacterOf(b, from);
        byte = c == kNone ? '?' : EncodeCharacter(c, to);
    }
    return out;
}
