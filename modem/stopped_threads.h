// Threads that were told to stop (TMSG_STOP_THREAD), so that every later wait of theirs ends.
// A thread is known by its identifier and its creation time: the system reuses identifiers, and a
// new thread that inherits the identifier of a stopped one must not be stopped by mistake.
#pragma once
#include <cstdint>

inline constexpr int kStoppedThreadSlots = 32;

struct StoppedThread {
    uint32_t id;
    uint64_t created;  // the thread's creation time, in the system's own units
};

struct StoppedThreads {
    StoppedThread slots[kStoppedThreadSlots];  // newest first; id 0 is an empty slot
};

// Remembers a thread as stopped; the oldest of 32 is forgotten.
void MarkThreadStopped(StoppedThreads* table, uint32_t id, uint64_t created);
bool IsThreadStopped(const StoppedThreads* table, uint32_t id, uint64_t created);
