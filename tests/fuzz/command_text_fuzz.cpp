// One AT command exchange as SendModemCommand runs it, without the port. Input: the command, a NUL,
// the expected text, a NUL, then the reply, which each of five passes brings again. Where a NUL is
// missing the rest stays whole: no expected text, the echo decides.
#include "modem/command_text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool hasExpected = false;
    std::string command = TakePart(&data, &size, '\0', &hasExpected);
    std::string expected = TakePart(&data, &size, '\0', &hasExpected);
    std::vector<char> sent(kCommandBufferSize, '\x55');
    size_t length = NormaliseCommand(command.c_str(), sent.data(), sent.size());
    FUZZ_CHECK(length < sent.size() && length == strnlen(sent.data(), sent.size()) && sent.back() == '\0');
    if (length < 1) return 0;  // nothing is sent
    sent[length - 1] = '\0';   // the echo is matched without the last byte sent, normally the CR

    std::vector<char> received(kReplyBufferSize, '\0');
    for (size_t pass = 0, total = 0; pass < 5 && size > 0; ++pass) {
        size_t got = std::min(size, kReplyBufferSize - 2 - total);  // WaitForLine: a NUL behind the bytes
        std::memcpy(received.data() + total, data, got);
        received[total += got] = '\0';
        if (hasExpected && JudgeReply(received.data(), total, expected.c_str()) != ReplyVerdict::Undecided) break;
        const char* behind = ReplyAfterEcho(sent.data(), received.data());
        FUZZ_CHECK(!behind || (behind >= received.data() && behind < received.data() + total && *behind != '\0'));
        if (!hasExpected && behind != nullptr) break;
        size_t kept = DropOldestReply(received.data(), total);  // the oldest half goes past 3072 bytes
        FUZZ_CHECK(kept == (total > 3072 ? total - 2048 : total) && received[kept] == '\0');
        total = kept;
    }
    return 0;
}
