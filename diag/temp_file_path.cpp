#include "diag/temp_file_path.h"

#include <cstring>

#include "base/text_utils.h"

namespace {
constexpr char kTempFileStem[] = "tlwire.";
}  // namespace

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
