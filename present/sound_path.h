// Where the ring sound is looked for when the user never chose one: the ring of the Windows
// sound scheme, "Media\ringin.wav" in the Windows directory.
#pragma once
#include <cstddef>

// The sound path is read from the Sounds page's edit with this many bytes and stored with them,
// NUL included: 259 characters at most.
inline constexpr size_t kSoundPathSize = 260;

// Joins the Windows directory and "Media\ringin.wav" with one backslash between them (none is
// added when the directory already ends with one) and cuts the result to outSize - 1
// characters. A missing directory counts as empty. Returns false when the result was cut or
// out is missing.
bool MakeDefaultSoundPath(const char* windowsDirectory, char* out, size_t outSize);
