#include "app/program_path.h"

#include <cstring>

#include "app/text_utils.h"

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
