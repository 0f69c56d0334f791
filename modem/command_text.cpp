#include "modem/command_text.h"

#include <cstring>

#include "base/compare_text.h"
#include "base/text_utils.h"

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return 99;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(const char* a, const char* b, size_t length) {
    return CompareTextNoCase(a, static_cast<int>(length), b, static_cast<int>(length)) == 0;
}

}  // namespace

size_t NormaliseCommand(const char* command, char* out, size_t outSize) {
    if (out == nullptr || outSize < 2) return 0;
    std::memset(out, 0, outSize);  // so that a look over the whole buffer sees only this command
    size_t used = 0;
    const size_t room = outSize - 2;  // the CR and the NUL always fit
    const char* at = command != nullptr ? command : "";
    while (*at != '\0' && used < room) {
        if (IsBlank(*at)) {
            ++at;
            continue;
        }
        if (*at != '<') {
            out[used++] = *at++;
            continue;
        }
        const char* scan = at + 1;
        uint32_t radix = 10;
        if (Upper(*scan) == 'H') {
            radix = 16;
            ++scan;
        }
        if (Upper(*scan) == 'B') {
            radix = 2;
            ++scan;
        }
        uint32_t value = 0;
        for (; *scan != '\0'; ++scan) {
            if (IsBlank(*scan)) continue;
            int digit = DigitValue(*scan);
            if (digit >= static_cast<int>(radix)) break;
            value = value * radix + static_cast<uint32_t>(digit);
        }
        if (*scan == '>') {
            out[used++] = static_cast<char>(value % 256);
            at = scan + 1;
        } else {
            out[used++] = '<';
            ++at;
        }
    }
    out[used++] = '\r';
    out[used] = '\0';
    return strnlen(out, used);
}

bool IsDleCommand(const char* normalised, size_t size) {
    return normalised != nullptr && std::memchr(normalised, kDle, size) != nullptr;
}

const char* ReplyAfterEcho(const char* command, const char* reply) {
    if (command == nullptr || reply == nullptr) return nullptr;
    while (IsBlank(*command)) ++command;
    while (IsBlank(*reply)) ++reply;
    while (*command != '\0' && *reply == *command) {
        ++command;
        ++reply;
    }
    if (*command != '\0') return nullptr;
    while (IsBlank(*reply)) ++reply;
    return *reply != '\0' ? reply : nullptr;
}

ReplyVerdict JudgeReply(const char* reply, size_t total, const char* expected) {
    static const char kError[] = "ERROR";
    if (reply == nullptr || expected == nullptr) return ReplyVerdict::Undecided;
    size_t expectedLength = std::strlen(expected);
    if (total < expectedLength) return ReplyVerdict::Undecided;
    for (size_t at = total - expectedLength + 1; at-- > 0;) {
        if (EqualNoCase(reply + at, expected, expectedLength)) return ReplyVerdict::Expected;
        if (at + 5 <= total && EqualNoCase(reply + at, kError, 5)) return ReplyVerdict::Error;
    }
    return ReplyVerdict::Undecided;
}

size_t DropOldestReply(char* reply, size_t total) {
    if (total <= 3072) return total;
    std::memmove(reply, reply + 2048, 2048);
    total -= 2048;
    reply[total] = '\0';
    return total;
}

uint32_t LinePollInterval(uint32_t timeoutMs) { return timeoutMs / 64 < 2 ? 2 : timeoutMs / 64; }

bool LineComplete(const char* text, size_t total) {
    bool lineEnd = false;
    size_t at = total;
    while (at > 0 && IsBlank(text[at - 1])) {
        lineEnd |= text[at - 1] == '\r' || text[at - 1] == '\n';
        --at;
    }
    return at == 0 || at == 1 || lineEnd;
}
