// The text of a crash report: what the system told about the exception, the processor, the
// system version and the loaded modules, written piece by piece to a sink (the report file).
#pragma once
#include <cstddef>
#include <cstdint>

// The system records at most this many parameters with an exception.
inline constexpr uint32_t kMaxExceptionParameters = 15;
// One formatted piece of the report at most.
inline constexpr size_t kReportPieceSize = 4096;
inline constexpr size_t kCrashModulePathSize = 520;

// One module as the report shows it; the path is already 8-bit text.
struct CrashModule {
    char path[kCrashModulePathSize];
    uint64_t base;
    uint32_t imageSize;
    uint32_t fileVersionMS;     // major in the high word, minor in the low word
    uint32_t fileVersionLS;     // build and revision
    uint32_t productVersionMS;
    uint32_t productVersionLS;
};

// Everything the report says, taken from the system by the crash handler.
struct CrashFacts {
    bool hasRecord;             // the exception came with an exception record
    uint32_t code;
    uint32_t flags;
    uint64_t address;
    uint32_t parameterCount;    // as the record gives it; only the first 15 exist
    uint64_t parameters[kMaxExceptionParameters];
    const char* applicationPath;
    uint16_t processorArchitecture;
    uint16_t processorLevel;
    uint32_t processorCount;
    uint32_t osMajor;
    uint32_t osMinor;
    uint32_t osBuild;
    const char* servicePack;
    const CrashModule* modules;  // in the order of the module list
    size_t moduleCount;
};

// Where the pieces go: called once per piece with its text (no terminator written).
struct ReportSink {
    void (*write)(void* context, const char* text, size_t length);
    void* context;
};

// The first module whose range, base to base plus image size with both ends included, holds the
// address; nullptr when none does.
const CrashModule* FindFaultingModule(const CrashModule* modules, size_t count, uint64_t address);

// The whole report, in its fixed order of pieces.
void WriteCrashReport(const CrashFacts& facts, const ReportSink& sink);
