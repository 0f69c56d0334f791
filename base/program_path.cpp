#include "base/program_path.h"

#include <cstring>

#include "base/compare_text.h"
#include "base/text_utils.h"

namespace {

// What follows the last folder separator; the whole path when it has none.
const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') name = at + 1;
    }
    return name;
}

}  // namespace

bool ReplaceExtension(const char* path, const char* extension, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    out[0] = '\0';
    if (path == nullptr || extension == nullptr) return false;
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr || dot - path < 2) return false;
    size_t keep = static_cast<size_t>(dot - path) + 1;
    if (keep + std::strlen(extension) + 1 > outSize) return false;
    CopyTextN(out, outSize, path, keep);
    AppendText(out, outSize, extension);
    return true;
}

bool SameFileName(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return false;
    const char* nameA = FileNameOf(a);
    const char* nameB = FileNameOf(b);
    int lengthA = static_cast<int>(std::strlen(nameA));
    int lengthB = static_cast<int>(std::strlen(nameB));
    return lengthA > 0 && CompareTextNoCase(nameA, lengthA, nameB, lengthB) == 0;
}
