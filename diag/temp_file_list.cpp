#include "diag/temp_file_list.h"

#include <cstring>

#include "base/compare_text.h"
#include "base/text_utils.h"

namespace {

constexpr char kTempFileStem[] = "tlwire.";

bool SameNoCase(const char* a, size_t aLength, const char* b, size_t bLength) {
    if (aLength > 0x7FFFFFFF || bLength > 0x7FFFFFFF) return false;
    return CompareTextNoCase(a, static_cast<int>(aLength), b, static_cast<int>(bLength)) == 0;
}

// Bytes of the texts with their NULs, without the closing NUL; 0 for a missing list.
size_t MultiStringLength(const char* list) {
    if (list == nullptr) return 0;
    const char* at = list;
    while (*at != '\0') at += std::strlen(at) + 1;
    return static_cast<size_t>(at - list);
}

}  // namespace

size_t AppendMultiStringSize(const char* list, const char* text) {
    return MultiStringLength(list) + (text != nullptr ? std::strlen(text) : 0) + 4;
}

bool AppendMultiStringInto(char* block, size_t blockSize, const char* list, const char* text) {
    if (block == nullptr || blockSize == 0) return false;
    size_t oldLength = MultiStringLength(list);
    size_t textLength = text != nullptr ? std::strlen(text) : 0;
    if (oldLength + textLength + 2 > blockSize) {
        block[0] = '\0';
        return false;
    }
    if (oldLength > 0) std::memcpy(block, list, oldLength);
    if (textLength > 0) std::memcpy(block + oldLength, text, textLength);
    block[oldLength + textLength] = '\0';
    block[oldLength + textLength + 1] = '\0';
    return true;
}

const char* MultiStringAt(const char* list, size_t index) {
    if (list == nullptr) return nullptr;
    for (const char* at = list; *at != '\0'; at += std::strlen(at) + 1) {
        if (index-- == 0) return at;
    }
    return nullptr;
}

const char* FindPathWithExtension(const char* list, const char* extension) {
    if (extension == nullptr) return nullptr;
    size_t extensionLength = std::strlen(extension);
    for (size_t i = 0; const char* path = MultiStringAt(list, i); ++i) {
        const char* dot = std::strrchr(path, '.');
        if (dot != nullptr && SameNoCase(dot + 1, std::strlen(dot + 1), extension, extensionLength)) return path;
    }
    return nullptr;
}

bool MakeTempPath(const char* directory, const char* extension, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (directory == nullptr || directory[0] == '\0' || extension == nullptr) return false;
    size_t directoryLength = std::strlen(directory);
    bool needsSeparator = directory[directoryLength - 1] != '\\';
    size_t needed = directoryLength + (needsSeparator ? 1 : 0) + sizeof kTempFileStem - 1 + std::strlen(extension);
    // A cut name would be some other file in some other place: none at all is better.
    if (needed + 1 > outSize) return false;
    CopyText(out, outSize, directory);
    if (needsSeparator) AppendText(out, outSize, "\\");
    AppendText(out, outSize, kTempFileStem);
    AppendText(out, outSize, extension);
    return true;
}

bool PathInDirectory(const char* path, const char* directory) {
    if (path == nullptr || directory == nullptr || directory[0] == '\0') return false;
    size_t directoryLength = std::strlen(directory);
    if (std::strlen(path) < directoryLength) return false;
    return SameNoCase(path, directoryLength, directory, directoryLength);
}
