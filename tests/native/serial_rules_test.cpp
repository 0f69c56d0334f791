#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modem/serial_write.h"
#include "modem/stopped_threads.h"

namespace {

// A port whose CTS line follows a script: one entry per status read, the last one repeating.
struct FakePort {
    std::vector<uint32_t> chunks;
    std::vector<bool> cts;
    bool statusWorks = true;
    size_t ctsReads = 0;
    int64_t acceptAtMost = -1;  // bytes the driver takes per chunk; -1: all
    bool failChunk = false;
    int sleeps = 0;
    int pumpsBeforeStop = -1;  // the stop request comes at this pump; -1: never
};

const SerialWriteOps kFakeOps = {
    nullptr,
    [](void* context, const char*, uint32_t length) -> int64_t {
        auto* port = static_cast<FakePort*>(context);
        if (port->failChunk) return -1;
        port->chunks.push_back(length);
        return port->acceptAtMost >= 0 && port->acceptAtMost < length ? port->acceptAtMost : length;
    },
    [](void* context, bool* on) {
        auto* port = static_cast<FakePort*>(context);
        if (!port->statusWorks) return false;
        size_t at = port->ctsReads < port->cts.size() ? port->ctsReads : port->cts.size() - 1;
        ++port->ctsReads;
        *on = port->cts[at];
        return true;
    },
    [](void* context) { return static_cast<FakePort*>(context)->pumpsBeforeStop-- != 0; },
    [](void* context, uint32_t) { ++static_cast<FakePort*>(context)->sleeps; },
};

uint32_t Write(FakePort* port, uint32_t length) {
    SerialWriteOps ops = kFakeOps;
    ops.context = port;
    std::string data(length, 'x');
    return WriteInChunks(ops, data.data(), length);
}

TEST(SerialWrite, ChunksOf4096) {
    FakePort port;
    port.cts = {false};
    EXPECT_EQ(9000u, Write(&port, 9000));
    EXPECT_EQ((std::vector<uint32_t>{4096, 4096, 808}), port.chunks);
    EXPECT_EQ(0u, Write(&port, 0));
}

TEST(SerialWrite, WaitsForCtsOnlyWhenItWasOnAtTheStart) {
    FakePort on;
    on.cts = {true, false, false, false, true};  // on at the start, drops for three reads, back
    EXPECT_EQ(10u, Write(&on, 10));
    EXPECT_EQ(3, on.sleeps);

    FakePort off;
    off.cts = {false};  // off at the start: never waited for, however long it stays off
    EXPECT_EQ(5000u, Write(&off, 5000));
    EXPECT_EQ(0, off.sleeps);

    FakePort heldOff;  // CTS never comes back: only the stop ends the wait, and the write
    heldOff.cts = {true, false};
    heldOff.pumpsBeforeStop = 3;
    EXPECT_EQ(4096u, Write(&heldOff, 9000));
    EXPECT_EQ(3, heldOff.sleeps);
    EXPECT_EQ(1u, heldOff.chunks.size());

    FakePort noStatus;  // a pseudo-terminal has no modem lines: the status call fails
    noStatus.cts = {true};
    noStatus.statusWorks = false;
    EXPECT_EQ(10u, Write(&noStatus, 10));
    EXPECT_EQ(0, noStatus.sleeps);
}

TEST(SerialWrite, StopsWithoutProgressOrOnError) {
    FakePort stuck;
    stuck.cts = {false};
    stuck.acceptAtMost = 0;
    EXPECT_EQ(0u, Write(&stuck, 100));
    EXPECT_EQ(1u, stuck.chunks.size());

    FakePort partial;
    partial.cts = {false};
    partial.acceptAtMost = 1000;
    EXPECT_EQ(9000u, Write(&partial, 9000));  // short chunks go on while they make progress
    EXPECT_EQ(9u, partial.chunks.size());

    FakePort broken;
    broken.cts = {false};
    broken.failChunk = true;
    EXPECT_EQ(0u, Write(&broken, 100));
}

TEST(StoppedThreads, KnownByIdentifierAndCreation) {
    StoppedThreads table{};
    EXPECT_FALSE(IsThreadStopped(&table, 0, 0));
    EXPECT_FALSE(IsThreadStopped(&table, 12, 100));
    MarkThreadStopped(&table, 12, 100);
    EXPECT_TRUE(IsThreadStopped(&table, 12, 100));
    EXPECT_FALSE(IsThreadStopped(&table, 12, 200));  // a new thread that got the same identifier
    for (uint32_t id = 100; id < 131; ++id) MarkThreadStopped(&table, id, id);
    EXPECT_TRUE(IsThreadStopped(&table, 12, 100));   // 32 remembered
    MarkThreadStopped(&table, 131, 131);
    EXPECT_FALSE(IsThreadStopped(&table, 12, 100));  // the oldest forgotten
    EXPECT_TRUE(IsThreadStopped(&table, 131, 131));
}

}  // namespace
