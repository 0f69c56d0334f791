#include "diag/crash_report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "base/text_utils.h"

namespace {

struct ExceptionNameEntry {
    uint32_t code;
    const char* name;
};

constexpr ExceptionNameEntry kExceptionNames[] = {
    {0x80000001u, "GUARD_PAGE"},
    {0x80000002u, "DATATYPE_MISALIGNMENT"},
    {0x80000003u, "BREAKPOINT"},
    {0x80000004u, "SINGLE_STEP"},
    {0xC0000005u, "ACCESS_VIOLATION"},
    {0xC0000006u, "IN_PAGE_ERROR"},
    {0xC0000008u, "INVALID_HANDLE"},
    {0xC000001Du, "ILLEGAL_INSTRUCTION"},
    {0xC0000025u, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026u, "INVALID_DISPOSITION"},
    {0xC000008Cu, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008Du, "FLT_DENORMAL_OPERAND"},
    {0xC000008Eu, "FLT_DIVIDE_BY_ZERO"},
    {0xC000008Fu, "FLT_INEXACT_RESULT"},
    {0xC0000090u, "FLT_INVALID_OPERATION"},
    {0xC0000091u, "FLT_OVERFLOW"},
    {0xC0000092u, "FLT_STACK_CHECK"},
    {0xC0000093u, "FLT_UNDERFLOW"},
    {0xC0000094u, "INT_DIVIDE_BY_ZERO"},
    {0xC0000095u, "INT_OVERFLOW"},
    {0xC0000096u, "PRIV_INSTRUCTION"},
    {0xC00000FDu, "STACK_OVERFLOW"},
};

constexpr const char* kProcessorNames[] = {"INTEL", "MIPS", "ALPHA", "PPC", "SHX", "ARM", "IA64"};
constexpr uint16_t kUnknownArchitecture = 0xFFFF;

constexpr const char* kIntelLevels[] = {"Intel 30386", "Intel 80486", "Intel Pentium", "Intel Pentium Pro"};
constexpr uint16_t kFirstIntelLevel = 3;

// One piece, formatted into a kReportPieceSize buffer (longer pieces are cut). Literal formats only.
__attribute__((format(printf, 2, 3))) void ReportPrintf(const ReportSink& sink, const char* format, ...) {
    if (sink.write == nullptr || format == nullptr) return;
    char piece[kReportPieceSize];
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(piece, sizeof piece, format, arguments);
    va_end(arguments);
    if (written <= 0) return;
    size_t length = static_cast<size_t>(written) < sizeof piece ? static_cast<size_t>(written) : sizeof piece - 1;
    sink.write(sink.context, piece, length);
}

// The system's name of an exception code, "UNKNOWN" for codes it does not list.
const char* ExceptionName(uint32_t code) {
    for (const ExceptionNameEntry& entry : kExceptionNames) {
        if (entry.code == code) return entry.name;
    }
    return "UNKNOWN";
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

// The two 16-bit halves of both version words, most significant first.
void WriteVersion(const ReportSink& sink, const char* label, uint32_t high, uint32_t low) {
    ReportPrintf(sink, "\r\n%s: %d.%d.%d.%d", label, static_cast<int>(high >> 16), static_cast<int>(high & 0xFFFF),
                 static_cast<int>(low >> 16), static_cast<int>(low & 0xFFFF));
}

void WriteException(const CrashFacts& facts, const ReportSink& sink) {
    const CrashModule* faulting = FindFaultingModule(facts.modules, facts.moduleCount, facts.address);
    if (faulting != nullptr) ReportPrintf(sink, "Execption In Module: %s\r\n", faulting->path);
    ReportPrintf(sink, "Application: %s\r\n", OrEmpty(facts.applicationPath));
    ReportPrintf(sink, "Exception Code: 0x%X\r\nException Description: %s", facts.code, ExceptionName(facts.code));
    // Addresses and parameters are pointer-sized on this 64-bit program: printed at full width.
    ReportPrintf(sink, "\r\nException Address: 0x%016" PRIX64 "\r\n", facts.address);
    ReportPrintf(sink, "Exception Flags: 0x%X\r\n", facts.flags);
    uint32_t count = facts.parameterCount < kMaxExceptionParameters ? facts.parameterCount : kMaxExceptionParameters;
    for (uint32_t i = 0; i < count; ++i) {
        ReportPrintf(sink, "Exception Information [%d]: 0x%016" PRIX64 "\r\n", static_cast<int>(i), facts.parameters[i]);
    }
}

void WriteModule(const CrashModule& module, const ReportSink& sink) {
    ReportPrintf(sink, "\r\nFullPath: %s", module.path);
    ReportPrintf(sink, "\r\nBaseAddress: 0x%016" PRIX64, module.base);
    ReportPrintf(sink, "\r\nImageSize: 0x%08X", module.imageSize);
    WriteVersion(sink, "FileVersion", module.fileVersionMS, module.fileVersionLS);
    WriteVersion(sink, "ProductVersion", module.productVersionMS, module.productVersionLS);
    ReportPrintf(sink, "\r\n");
}

// The architecture's name, and for an Intel processor its level ("Intel 80486", ...); numbers for
// what the tables do not name.
void WriteProcessor(uint16_t architecture, uint16_t level, const ReportSink& sink) {
    if (architecture < std::size(kProcessorNames)) {
        ReportPrintf(sink, "\r\nProcessor: %s", kProcessorNames[architecture]);
    } else if (architecture == kUnknownArchitecture) {
        ReportPrintf(sink, "\r\nProcessor: UNKNOWN");
    } else {
        ReportPrintf(sink, "\r\nProcessor: 0x%X", static_cast<unsigned>(architecture));
    }
    if (architecture != 0) return;
    size_t index = static_cast<size_t>(level) - kFirstIntelLevel;
    if (level >= kFirstIntelLevel && index < std::size(kIntelLevels)) {
        ReportPrintf(sink, "\r\nProcessor Level: %s", kIntelLevels[index]);
    } else {
        ReportPrintf(sink, "\r\nProcessor Level: %d", static_cast<int>(level));
    }
}

}  // namespace

const CrashModule* FindFaultingModule(const CrashModule* modules, size_t count, uint64_t address) {
    if (modules == nullptr) return nullptr;
    for (size_t i = 0; i < count; ++i) {
        // Measured from the base, so a module at the very top of the address space cannot wrap.
        if (address >= modules[i].base && address - modules[i].base <= modules[i].imageSize) return &modules[i];
    }
    return nullptr;
}

void WriteCrashReport(const CrashFacts& facts, const ReportSink& sink) {
    if (facts.hasRecord) WriteException(facts, sink);

    WriteProcessor(facts.processorArchitecture, facts.processorLevel, sink);
    ReportPrintf(sink, "\r\nNumber Of Processors: %d", static_cast<int>(facts.processorCount));
    ReportPrintf(sink, "\r\nOperating System: %u.%u buind %u \"%s\"\r\n\r\n", facts.osMajor, facts.osMinor,
                 facts.osBuild, OrEmpty(facts.servicePack));

    ReportPrintf(sink, "\r\n-- Modules --\r\n");
    if (facts.modules == nullptr) return;
    for (size_t i = 0; i < facts.moduleCount; ++i) WriteModule(facts.modules[i], sink);
}
