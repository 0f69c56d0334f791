// A modem read in steps of two header bytes and their data: the first byte and the second's low bit
// give the length; its other bits the time since the step before in 200 ms, past the 12 s of a call.
#include "base/text_utils.h"
#include "modem/caller_id.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto kept = [](std::string text) {  // what the line splitter keeps: all but blanks, line ends and NULs
        text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return std::strchr(" \t\r\n", c); }), text.end());
        return text;
    };
    CallCycle cycle{};
    uint32_t now = 0xFFFFD000u;  // 12 s before the tick count wraps
    int dispatched = 0;          // calls of the current cycle
    for (size_t at = 0; at + 2 <= size;) {
        size_t length = std::min<size_t>({data[at] + 256u * (data[at + 1] & 1u), kCallerIdReadSize - 2, size - at - 2});
        now += (data[at + 1] >> 1) * 200u;
        std::vector<char> step(kCallerIdReadSize, '\0');  // as WaitForLine leaves it: a NUL behind the bytes
        std::memcpy(step.data(), data + at + 2, length);
        at += 2 + length;
        if (EndCallCycleIfSilent(&cycle, now)) dispatched = 0;
        FUZZ_CHECK(TicksSince(cycle.lastDataTick, now) <= kCallEndSilenceMs || (!cycle.rings && !cycle.call.number[0]));
        if (length == 0) continue;  // a pass in which the modem said nothing
        cycle.lastDataTick = now;
        std::vector<char> line(kCallerIdLineSize);
        std::string lines;  // the text of the lines, blanks left out
        size_t offset = 0;
        while (NextCallerIdLine(step.data(), length, &offset, line.data(), line.size())) {
            size_t n = strnlen(line.data(), line.size());
            FUZZ_CHECK(n > 0 && n < line.size() && !std::strchr(" \t", line[0]) && !std::strpbrk(line.data(), "\r\n"));
            lines += kept(line.data());
            LineOutcome outcome = InterpretCallerIdLine(&cycle, line.data(), now);
            if (outcome.finished) dispatched = 0;  // a report behind an announced call starts the next one
            if (outcome.complete) {                // once a cycle, at the second ring, with a number
                FUZZ_CHECK(cycle.rings == 2 && cycle.call.number[0] != '\0' && ++dispatched == 1);
                cycle.call.announced = 1;  // as the reader does once the call is dispatched
            }
            FUZZ_CHECK(std::memchr(cycle.call.number, 0, kCallTextSize) && std::memchr(cycle.call.name, 0, kCallTextSize));
        }
        FUZZ_CHECK(offset == length && lines == kept(std::string(step.data(), length)));  // a long line goes on: nothing lost
    }
    return 0;
}
