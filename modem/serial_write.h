// How a write goes out on a serial port: in chunks of at most 4096 bytes (the driver's queue),
// stopping when a pass makes no progress, and waiting for clear-to-send after each chunk only
// when CTS was on as the write began (a modem without the line, or a cable without it, would
// otherwise block the write for ever). The port's calls come in through SerialWriteOps, so the
// rule is the same code on Windows and in the unit tests. A stop request ends the wait for CTS:
// a modem that never lifts it must not keep the program from ending.
#pragma once
#include <cstdint>

inline constexpr uint32_t kSerialChunk = 4096;

struct SerialWriteOps {
    void* context;
    // Writes one chunk; returns the bytes that went out, or -1 for an error that ends the write.
    int64_t (*writeChunk)(void* context, const char* data, uint32_t length);
    // Reads the clear-to-send line; false when the status cannot be read.
    bool (*readCts)(void* context, bool* on);
    // Keeps the thread's messages flowing while it waits; false once the thread must stop.
    bool (*pump)(void* context);
    void (*sleepMs)(void* context, uint32_t ms);
};

// Returns the bytes written; short when a chunk failed, made no progress, or a stop came while
// CTS was held off.
uint32_t WriteInChunks(const SerialWriteOps& ops, const char* data, uint32_t length);
