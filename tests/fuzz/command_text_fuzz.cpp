// One AT command exchange as SendModemCommand runs it, without the port: the configured command
// normalised into its 256-byte buffer, then the modem's answer gathered over five passes into the
// 4096-byte reply buffer and judged after each (the expected text and "ERROR", or the echo), the
// oldest half dropped when it grows past 3072 bytes undecided.
//
// Input: the command, a NUL, the expected text, a NUL, then the reply bytes. Without the second
// NUL there is no expected text (the exchange then waits for text behind the echo). Each pass
// brings the reply bytes once more, as a modem that keeps talking does.
#include <cstring>

#include "modem/command_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr int kPasses = 5;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// The verdict read the long way: the later start of the two texts decides, the expected text at
// a tie.
ReplyVerdict Verdict(const char* reply, size_t total, const char* expected) {
    size_t expectedLength = std::strlen(expected);
    if (total < expectedLength) return ReplyVerdict::Undecided;
    long lastExpected = -1;
    long lastError = -1;
    for (size_t at = 0; at + expectedLength <= total; ++at) {
        if (SameNoCase(reply + at, expected, expectedLength)) lastExpected = static_cast<long>(at);
    }
    for (size_t at = 0; at + 5 <= total && at + expectedLength <= total; ++at) {
        if (SameNoCase(reply + at, "ERROR", 5)) lastError = static_cast<long>(at);
    }
    if (lastExpected < 0 && lastError < 0) return ReplyVerdict::Undecided;
    return lastExpected >= lastError ? ReplyVerdict::Expected : ReplyVerdict::Error;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* commandEnd = static_cast<const char*>(std::memchr(bytes, '\0', size));
    std::vector<char> command = TextOf(data, commandEnd != nullptr ? static_cast<size_t>(commandEnd - bytes) : size);
    std::vector<char> expected;
    const uint8_t* reply = data + size;
    size_t replySize = 0;
    if (commandEnd != nullptr) {
        size_t rest = size - static_cast<size_t>(commandEnd - bytes) - 1;
        const char* expectedEnd = static_cast<const char*>(std::memchr(commandEnd + 1, '\0', rest));
        if (expectedEnd != nullptr) {
            expected = TextOf(data + (commandEnd + 1 - bytes), static_cast<size_t>(expectedEnd - commandEnd - 1));
            reply = data + (expectedEnd + 1 - bytes);
            replySize = size - static_cast<size_t>(expectedEnd + 1 - bytes);
        } else {
            reply = data + (commandEnd + 1 - bytes);
            replySize = rest;
        }
    }
    const char* expectedText = expected.empty() ? nullptr : expected.data();

    // The buffer's edge: a buffer too small to hold anything, and ones just large enough.
    for (size_t outSize = 0; outSize < 6; ++outSize) {
        std::vector<char> small(outSize + 1, '\x55');
        size_t length = NormaliseCommand(command.data(), outSize > 0 ? small.data() : nullptr, outSize);
        FUZZ_CHECK(outSize < 2 ? length == 0 : length < outSize && small[length] == '\0');
        FUZZ_CHECK(small[outSize] == '\x55');
    }

    std::vector<char> sent(kCommandBufferSize, '\x55');
    size_t length = NormaliseCommand(command.data(), sent.data(), sent.size());
    FUZZ_CHECK(length < sent.size() && length == strnlen(sent.data(), sent.size()));
    FUZZ_CHECK(sent.back() == '\0');  // the rest of the buffer is zeroed
    IsDleCommand(sent.data(), sent.size());
    if (length < 1) return 0;  // "zer-sized": nothing is sent
    sent[length - 1] = '\0';   // the echo is matched without the last byte sent, normally the CR

    std::vector<char> received(kReplyBufferSize, '\0');
    size_t total = 0;
    for (int pass = 0; pass < kPasses && replySize > 0; ++pass) {
        // WaitForLine: at most capacity - 2 bytes, a NUL behind them.
        size_t room = kReplyBufferSize - 2 - total;
        size_t got = replySize < room ? replySize : room;
        std::memcpy(received.data() + total, reply, got);
        total += got;
        received[total] = '\0';
        LineComplete(received.data(), total);
        if (expectedText != nullptr) {
            ReplyVerdict verdict = JudgeReply(received.data(), total, expectedText);
            FUZZ_CHECK(verdict == Verdict(received.data(), total, expectedText));
            if (verdict != ReplyVerdict::Undecided) break;
        } else {
            const char* behind = ReplyAfterEcho(sent.data(), received.data());
            if (behind != nullptr) {
                FUZZ_CHECK(behind >= received.data() && behind < received.data() + total);
                FUZZ_CHECK(*behind != '\0' && !IsBlankByte(*behind));
                break;
            }
        }
        size_t kept = DropOldestReply(received.data(), total);
        FUZZ_CHECK(kept == (total > 3072 ? total - 2048 : total) && received[kept] == '\0');
        total = kept;
    }
    const char* behind = ReplyAfterEcho(sent.data(), received.data());
    FUZZ_CHECK(behind == nullptr || (behind >= received.data() && behind < received.data() + total));
    LinePollInterval(static_cast<uint32_t>(size * 977u));
    return 0;
}
