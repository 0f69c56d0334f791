#include "modem/modem_command.h"

#include <windows.h>

#include <memory>
#include <new>

#include "base/error_text.h"
#include "base/text_utils.h"
#include "diag/program_log.h"
#include "modem/command_text.h"
#include "modem/thread_messages.h"

namespace {

constexpr int kPasses = 5;
constexpr uint32_t kPassTimeoutMs = 2000;

enum class Outcome { Expected, Echo, Final };

}  // namespace

uint32_t SendModemCommand(SerialPort* port, const char* command, const char* expected, char* reply) {
    if (port == nullptr || command == nullptr || reply == nullptr) return 0;
    reply[0] = '\0';
    const char* name = port->settings.name;
    char sent[kCommandBufferSize];
    size_t length = NormaliseCommand(command, sent, sizeof sent);
    bool dle = IsDleCommand(sent, sizeof sent);
    if (length < 1) {
        LogPrintf("%s: zer-sized commands not allowed", name);
        return 0;
    }
    if (WriteSerial(port, sent, static_cast<uint32_t>(length)) < length) {
        if (StopRequested()) return 0;  // the write gave up waiting for CTS: the program ends
        char reason[256];
        LogPrintf("%s: write error - %s", name, ErrorText(kLastError, reason, sizeof reason));
        return 0;
    }
    sent[length - 1] = '\0';  // the echo is matched, and the command logged, without its CR

    // Held in one heap block: a port monitor thread's stack is not the place for 4 KB.
    std::unique_ptr<char[]> block(new (std::nothrow) char[kReplyBufferSize]());
    if (!block) return 0;
    char* received = block.get();
    uint32_t total = 0;
    Outcome outcome = Outcome::Final;
    for (int pass = 0; pass < kPasses; ++pass) {
        total = WaitForLine(port, kPassTimeoutMs, total, received, kReplyBufferSize);
        // Ten seconds for a modem that fell silent are too long for a program that ends: the
        // exchange is dropped without a word, its reply unread.
        if (StopRequested()) return 0;
        if (total < 1) {
            Sleep(10);
            PumpThreadMessages();
            continue;
        }
        if (expected != nullptr) {
            ReplyVerdict verdict = JudgeReply(received, total, expected);
            if (verdict == ReplyVerdict::Expected) {
                outcome = Outcome::Expected;
                break;
            }
            if (verdict == ReplyVerdict::Error) break;  // final
        } else if (ReplyAfterEcho(sent, received) != nullptr) {
            outcome = Outcome::Echo;
            break;
        }
        total = static_cast<uint32_t>(DropOldestReply(received, total));
        Sleep(2);
    }

    uint32_t result = 0;
    char* afterEcho = const_cast<char*>(ReplyAfterEcho(sent, received));
    char* answer = afterEcho != nullptr ? afterEcho : received;
    if (outcome == Outcome::Final && (expected == nullptr || total < 1)) {
        LogPrintf("%s: no reply on command \"%s\"", name, sent);
    } else {
        // The answer is handed back as it came, and logged on one line with its blanks folded.
        result = static_cast<uint32_t>(CopyText(reply, kModemReplySize, answer));
        if (dle && outcome == Outcome::Expected) {
            LogPrintf("%s: \"%s\" --> \"%s\"", name, command, expected);
        } else if (dle && outcome == Outcome::Echo) {
            LogPrintf("%s: \"%s\" --> %d bytes", name, command, static_cast<int>(result));
        } else {
            CollapseBlanks(answer);
            LogPrintf("%s: \"%s\" ==> \"%s\"", name, sent, answer);
        }
    }
    return result;
}
