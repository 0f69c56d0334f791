#include "present/sound_player.h"

#include "base/unique_handle.h"

namespace {

// sndPlaySoundA's flags: return at once, and stay silent rather than play the default sound
// when the file cannot be played. No "no stop" flag: each ring cuts off the previous ring.
constexpr UINT kSoundAsync = 0x0001;
constexpr UINT kSoundNoDefault = 0x0002;

using SndPlaySoundA = BOOL(WINAPI*)(LPCSTR, UINT);

// The library stays loaded for the rest of the process once it has been loaded: an
// asynchronous sound plays on a thread that runs inside it, and nothing tells us when that
// thread is done, so unloading it after any play could pull the code from under a sound.
SndPlaySoundA LoadSoundFunction() {
    OwnedLibrary library(LoadLibraryA("winmm.dll"));
    if (!library) return nullptr;
    auto function =
        reinterpret_cast<SndPlaySoundA>(reinterpret_cast<void*>(GetProcAddress(library.get(), "sndPlaySoundA")));
    // Without the function nothing of the library ran, so it may go; with it, it stays (above).
    if (function != nullptr) library.release();
    return function;
}

}  // namespace

SoundPlay PlaySoundFile(const char* path) {
    if (path == nullptr || path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return SoundPlay::NoFile;
    }
    // Loaded on first use, once, whichever thread comes first (a function-local static is
    // initialised exactly once); a library that is missing then stays missing for the run.
    static const SndPlaySoundA play = LoadSoundFunction();
    if (play == nullptr) return SoundPlay::NoLibrary;
    return play(path, kSoundAsync | kSoundNoDefault) ? SoundPlay::Started : SoundPlay::Refused;
}
