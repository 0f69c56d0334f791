#include "present/sound_path.h"

#include <cstring>

#include "base/text_utils.h"

namespace {

constexpr char kRingFile[] = "Media\\ringin.wav";

}  // namespace

bool MakeDefaultSoundPath(const char* windowsDirectory, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return false;
    const char* directory = windowsDirectory != nullptr ? windowsDirectory : "";
    size_t length = strlen(directory);
    bool endsWithBackslash = length > 0 && directory[length - 1] == '\\';
    size_t wanted = length + (endsWithBackslash ? 0 : 1) + strlen(kRingFile);
    CopyText(out, outSize, directory);
    if (!endsWithBackslash) AppendText(out, outSize, "\\");
    size_t made = AppendText(out, outSize, kRingFile);
    return made == wanted;
}
