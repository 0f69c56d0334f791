// The modem side's rules without a port: commands and replies, serial writes, stops, fax windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "modem/command_text.h"
#include "modem/serial_write.h"
#include "modem/stopped_threads.h"
#include "modem/window_list.h"

namespace {

TEST(NormaliseCommand, Examples) {
    struct Case { const char* command; std::string sent; } const cases[] = {
        {"at z", "atz\r"},                    // blanks dropped, case kept
        {" AT\t+VCID = 1 ", "AT+VCID=1\r"},
        {"<13><h1b><B1010>", "\r\x1B\n\r"},
        {"<HB101><H 4 1>", "\x05" "A\r"},      // H then B: binary as well; blanks inside an escape skipped
        {"a<b", "a<b\r"},                      // no closing ">": the "<" stays
        {"AT<12x>", "AT<12x>\r"},              // a character that is no digit ends the number early
        {"<300>", ",\r"},                      // modulo 256
        {"AT<0>Z", "AT"},                      // an escape of 0 ends the command
    };
    for (const Case& c : cases) {
        char out[kCommandBufferSize];
        size_t length = NormaliseCommand(c.command, out, sizeof out);
        EXPECT_EQ(c.sent, std::string(out, length)) << c.command;
    }
}

TEST(ModemReply, EchoAndVerdict) {
    struct Echo { const char *command, *reply, *after; } const echoes[] = {
        {"ATZ", "ATZ\r\r\nOK\r\n", "OK\r\n"},
        {"ATZ", "\r\nOK\r\n", nullptr},      // echo off
        {"ATZ", "atz\r\nOK\r\n", nullptr},   // the echo must match exactly
    };
    for (const Echo& c : echoes) EXPECT_STREQ(c.after, ReplyAfterEcho(c.command, c.reply)) << c.reply;
    // The later start of the expected text and "ERROR" decides.
    struct Verdict { const char *reply, *expected; ReplyVerdict verdict; } const verdicts[] = {
        {"\r\nok\r\n", "OK", ReplyVerdict::Expected},
        {"\r\nOK\r\n\r\nERROR\r\n", "OK", ReplyVerdict::Error},
        {"\r\nERROR\r\n\r\nOK\r\n", "OK", ReplyVerdict::Expected},
        {"ERROR", "ERR", ReplyVerdict::Expected},  // both at one place: the expected text
        {"\r\nCONNECT", "OK", ReplyVerdict::Undecided},
    };
    for (const Verdict& c : verdicts) EXPECT_EQ(c.verdict, JudgeReply(c.reply, std::strlen(c.reply), c.expected)) << c.reply;
    // A line is complete at its end, or when it is a numeric result code.
    for (const char* text : {"", "0 ", "OK\r", "OK \n "}) EXPECT_TRUE(LineComplete(text, std::strlen(text))) << text;
    for (const char* text : {"OK  \t", "\r\nOK", "RING\r\nNMBR"}) EXPECT_FALSE(LineComplete(text, std::strlen(text))) << text;
    // A full buffer keeps its newer half.
    char reply[kReplyBufferSize];
    for (size_t i = 0; i < sizeof reply; ++i) reply[i] = static_cast<char>('a' + i / 1024);
    EXPECT_EQ(3072u, DropOldestReply(reply, 3072));  // not yet
    EXPECT_EQ(1025u, DropOldestReply(reply, 3073));
    EXPECT_EQ(std::string(1024, 'c') + "d", reply);
}

// A port whose CTS line follows a script, one entry per status read, the last one repeating.
struct FakePort {
    const char* what;
    std::vector<bool> cts;
    bool statusWorks;
    int pumpsBeforeStop;  // the stop request comes at this pump; -1: never
    int64_t acceptAtMost;  // bytes the driver takes per chunk; -1: all, -2: the write fails
    uint32_t length, written;
    int sleeps;
    std::vector<uint32_t> chunks;
};

TEST(SerialWrite, ChunksAndCts) {
    const FakePort cases[] = {
        {"chunks of 4096", {false}, true, -1, -1, 9000, 9000, 0, {4096, 4096, 808}},
        {"CTS on at the start, drops for three reads: waited for", {true, false, false, false, true}, true, -1, -1, 10,
         10, 3, {10}},
        {"CTS never back: the stop ends the wait, and the write", {true, false}, true, 3, -1, 9000, 4096, 3, {4096}},
        {"a pseudo-terminal has no modem lines", {true}, false, -1, -1, 10, 10, 0, {10}},
        {"no progress", {false}, true, -1, 0, 100, 0, 0, {100}},
        {"short chunks go on while they make progress", {false}, true, -1, 4000, 9000, 9000, 0, {4096, 4096, 1000}},
        {"a failed write", {false}, true, -1, -2, 100, 0, 0, {}},
    };
    for (const FakePort& c : cases) {
        struct Run { const FakePort* port; size_t ctsReads = 0; int pumps = 0, sleeps = 0; std::vector<uint32_t> chunks; };
        Run run{&c, 0, 0, 0, {}};
        const SerialWriteOps ops = {
            &run,
            [](void* context, const char*, uint32_t size) -> int64_t {
                auto* r = static_cast<Run*>(context);
                if (r->port->acceptAtMost == -2) return -1;
                r->chunks.push_back(size);
                return r->port->acceptAtMost >= 0 && r->port->acceptAtMost < size ? r->port->acceptAtMost : size;
            },
            [](void* context, bool* on) {
                auto* r = static_cast<Run*>(context);
                *on = r->port->cts[std::min(r->ctsReads++, r->port->cts.size() - 1)];
                return r->port->statusWorks;
            },
            [](void* context) { auto* r = static_cast<Run*>(context); return r->pumps++ != r->port->pumpsBeforeStop; },
            [](void* context, uint32_t) { ++static_cast<Run*>(context)->sleeps; },
        };
        std::string data(c.length, 'x');
        EXPECT_EQ(c.written, WriteInChunks(ops, data.data(), c.length)) << c.what;
        EXPECT_EQ(c.sleeps, run.sleeps) << c.what;
        EXPECT_EQ(c.chunks, run.chunks) << c.what;
    }
}

// A thread's identifier is reused by the system: a stopped one is known by its creation too.
TEST(StoppedThreads, KnownByIdentifierAndCreation) {
    StoppedThreads table{};
    MarkThreadStopped(&table, 12, 100);
    EXPECT_FALSE(IsThreadStopped(&table, 12, 200));  // a new thread that got the same identifier
    for (uint32_t id = 100; id < 131; ++id) MarkThreadStopped(&table, id, id);
    EXPECT_TRUE(IsThreadStopped(&table, 12, 100));   // 32 remembered
    MarkThreadStopped(&table, 131, 131);
    EXPECT_FALSE(IsThreadStopped(&table, 12, 100));  // the oldest forgotten
}

// The fax windows of a port: stored as "Dialer\tFax", in memory as "Dialer\0Fax\0\0".
TEST(WindowList, StoredAndBack) {
    const std::string t510(510, 'a');
    struct Case { std::string stored, list, again; } const cases[] = {
        // An empty text would end the list early; it is left out instead.
        {"\tDialer\t\tFax\t", std::string("Dialer\0Fax\0\0", 12), "Dialer\tFax"},
        {t510 + "\t" + t510 + "\tx", t510 + '\0' + t510 + '\0' + '\0', t510 + "\t" + t510},  // 1021 characters at most
        // A text that would be cut is left out: a cut title would match windows it never named.
        {t510 + "\t" + t510 + "x", t510 + '\0' + '\0', t510},
    };
    for (const Case& c : cases) {
        char list[1024];
        std::memset(list, 'x', sizeof list);
        WindowListFromStored(c.stored.c_str(), c.stored.size() + 1, list, sizeof list);
        EXPECT_EQ(c.list, std::string(list, c.list.size())) << c.stored.substr(0, 20);
        char stored[1022];
        EXPECT_EQ(c.again.size(), WindowListToStored(list, sizeof list, stored, sizeof stored));
        EXPECT_EQ(c.again, stored);
    }
}

}  // namespace
