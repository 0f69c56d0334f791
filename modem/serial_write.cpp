#include "modem/serial_write.h"

uint32_t WriteInChunks(const SerialWriteOps& ops, const char* data, uint32_t length) {
    if (data == nullptr || length < 1) return 0;
    bool ctsAtStart = false;
    if (!ops.readCts(ops.context, &ctsAtStart)) ctsAtStart = false;
    uint32_t written = 0;
    for (;;) {
        uint32_t chunk = length - written < kSerialChunk ? length - written : kSerialChunk;
        int64_t sent = ops.writeChunk(ops.context, data + written, chunk);
        if (sent < 0) break;
        uint32_t previous = written;
        written += static_cast<uint32_t>(sent > chunk ? chunk : sent);
        // The modem holds CTS low while its buffer is full; no time limit, as a modem that asked
        // for a pause will lift it again. Only a stop ends the wait early, and the write with it.
        bool cts = false;
        while (ctsAtStart && ops.readCts(ops.context, &cts) && !cts) {
            if (!ops.pump(ops.context)) return written;
            ops.sleepMs(ops.context, 1);
        }
        if (written == previous || written >= length) break;
    }
    return written;
}
