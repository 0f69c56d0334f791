// The modem's side of a port monitor: a stream of read steps, each as the reader gets it from
// WaitForLine, cut into lines and interpreted, with the call end check before every step and
// the tick count moving on between steps, across its wrap. A report behind an announced call
// starts the next one.
//
// Input: steps of two header bytes and their data. The first byte and the lowest bit of the
// second give the step's length (0 is a pass in which the modem said nothing; more than 510, what
// one read step can hold, is cut to it); the other seven bits of the second are the time since
// the previous pass in units of 200 ms (up to 25.4 s, well past the 12 s of a call's end).
#include <cstring>
#include <string>

#include "base/text_utils.h"
#include "modem/caller_id.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr size_t kStepLimit = kCallerIdReadSize - 2;  // WaitForLine keeps room for its NUL
constexpr uint32_t kFirstTick = 0xFFFFD000u;          // 12 s before the tick count wraps

bool Dropped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }

void KeepText(const char* text, size_t size, std::string* kept) {
    for (size_t i = 0; i < size; ++i) {
        if (!Dropped(text[i])) kept->push_back(text[i]);
    }
}

void CheckRecord(const CallCycle& cycle) {
    FUZZ_CHECK(strnlen(cycle.call.name, kCallTextSize) < kCallTextSize);
    FUZZ_CHECK(strnlen(cycle.call.number, kCallTextSize) < kCallTextSize);
}

void ReadStep(CallCycle* cycle, const uint8_t* data, size_t size, uint32_t now, int* dispatched) {
    std::vector<char> received(kCallerIdReadSize, '\0');
    std::memcpy(received.data(), data, size);
    cycle->lastDataTick = now;
    std::vector<char> line(kCallerIdLineSize, '\0');
    std::string stepText;
    std::string lineText;
    KeepText(received.data(), size, &stepText);
    size_t at = 0;
    while (NextCallerIdLine(received.data(), size, &at, line.data(), line.size())) {
        size_t length = strnlen(line.data(), line.size());
        FUZZ_CHECK(length < line.size());
        FUZZ_CHECK(length > 0 && !Dropped(line[0]));
        FUZZ_CHECK(std::memchr(line.data(), '\r', length) == nullptr && std::memchr(line.data(), '\n', length) == nullptr);
        FUZZ_CHECK(at <= size);
        KeepText(line.data(), length, &lineText);

        uint32_t ringsBefore = cycle->rings;
        bool announcedBefore = cycle->call.announced != 0;
        LineOutcome outcome = InterpretCallerIdLine(cycle, line.data(), now);
        if (outcome.finished) {
            // Only an announced call gives way to the next caller's report, which starts at its
            // first ring at the most (a second when the value itself reads "RING").
            FUZZ_CHECK(announcedBefore && cycle->rings <= (outcome.ring ? 2u : 1u));
            *dispatched = 0;
        } else {
            FUZZ_CHECK(cycle->rings == ringsBefore + (outcome.ring ? 1u : 0u));
        }
        if (outcome.complete) {
            FUZZ_CHECK(cycle->rings == 2 && cycle->call.number[0] != '\0' && cycle->call.announced == 0);
            cycle->call.announced = 1;  // as the reader does once the call is dispatched
            ++*dispatched;
        }
        FUZZ_CHECK(*dispatched <= 1);  // one call per cycle
        CheckRecord(*cycle);
    }
    FUZZ_CHECK(at == size);
    FUZZ_CHECK(stepText == lineText);  // a long line goes on as the next one: nothing is lost
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CallCycle cycle{};
    uint32_t now = kFirstTick;
    int dispatched = 0;  // calls of the current cycle
    size_t at = 0;
    while (at + 2 <= size) {
        size_t length = data[at] + 256u * (data[at + 1] & 1u);
        now += (data[at + 1] >> 1) * 200u;
        at += 2;
        if (length > kStepLimit) length = kStepLimit;
        if (length > size - at) length = size - at;

        CallCycle before = cycle;
        if (EndCallCycleIfSilent(&cycle, now)) {
            FUZZ_CHECK(TicksSince(before.lastDataTick, now) > kCallEndSilenceMs);
            FUZZ_CHECK(before.call.name[0] != '\0' || before.call.number[0] != '\0' || before.rings != 0);
            FUZZ_CHECK(cycle.rings == 0 && cycle.call.announced == 0 && cycle.call.name[0] == '\0' &&
                       cycle.call.number[0] == '\0' && cycle.lastDataTick == before.lastDataTick);
            dispatched = 0;
        }
        if (length > 0) ReadStep(&cycle, data + at, length, now, &dispatched);
        at += length;
    }
    return 0;
}
