#include "present/sound_player.h"

#include <mmsystem.h>

#include <atomic>

#include "base/unique_handle.h"

namespace {

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

// Loaded on first use, once, whichever thread comes first (a function-local static is
// initialised exactly once); a library that is missing then stays missing for the run.
SndPlaySoundA SoundFunction() {
    static const SndPlaySoundA play = LoadSoundFunction();
    return play;
}

// Set once a sound was started: before that there is nothing to stop, and no reason to load the
// library for it.
std::atomic<bool> s_soundStarted{false};

}  // namespace

SoundPlay PlaySoundFile(const char* path) {
    if (path == nullptr || path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        return SoundPlay::NoFile;
    }
    SndPlaySoundA play = SoundFunction();
    if (play == nullptr) return SoundPlay::NoLibrary;
    // Return at once, and stay silent rather than play the default sound when the file cannot be
    // played. No "no stop" flag: each ring cuts off the previous ring.
    if (!play(path, SND_ASYNC | SND_NODEFAULT)) return SoundPlay::Refused;
    s_soundStarted = true;
    return SoundPlay::Started;
}

void StopSoundFile() {
    if (!s_soundStarted) return;
    SndPlaySoundA play = SoundFunction();
    if (play != nullptr) play(nullptr, 0);  // no file: the sound playing stops
}
