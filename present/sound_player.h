// Playing a wave file through the system's multimedia library, which is loaded by name the
// first time a sound is played: a computer without it still runs the program, silently.
#pragma once
#include <windows.h>

enum class SoundPlay {
    NoFile,     // empty path, or nothing with that name: nothing asked of the system
    NoLibrary,  // winmm.dll or its sndPlaySoundA is missing
    Refused,    // the system would not start the sound
    Started,    // playing on the system's own thread; the caller does not wait for it
};

// Starts the file playing and returns at once. A sound still playing from an earlier call is
// cut off; a file that cannot be played gives silence, never the system's default sound.
SoundPlay PlaySoundFile(const char* path);
// Cuts off a sound still playing (a ring of a call that was hung up on); nothing when none plays.
void StopSoundFile();
