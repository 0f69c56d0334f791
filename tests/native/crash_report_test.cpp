#include "diag/crash_report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

void AppendTo(void* context, const char* text, size_t length) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(text, length);
}

// The report as the file gets it, one entry per piece.
std::vector<std::string> Pieces(const CrashFacts& facts) {
    std::vector<std::string> pieces;
    WriteCrashReport(facts, ReportSink{AppendTo, &pieces});
    return pieces;
}

std::string Joined(const CrashFacts& facts) {
    std::string text;
    for (const std::string& piece : Pieces(facts)) text += piece;
    return text;
}

CrashModule Module(const char* path, uint64_t base, uint32_t size) {
    CrashModule module{};
    std::strcpy(module.path, path);
    module.base = base;
    module.imageSize = size;
    return module;
}

CrashFacts AccessViolation() {
    CrashFacts facts{};
    facts.hasRecord = true;
    facts.code = 0xC0000005;
    facts.flags = 0;
    facts.address = 0x00007FF612341234ull;
    facts.parameterCount = 2;
    facts.parameters[0] = 1;
    facts.parameters[1] = 0x10;
    facts.applicationPath = "C:\\Tellwire\\tellwire.exe";
    facts.processorArchitecture = 9;
    facts.processorLevel = 6;
    facts.processorCount = 2;
    facts.osMajor = 10;
    facts.osMinor = 0;
    facts.osBuild = 19045;
    facts.servicePack = "";
    return facts;
}

TEST(CrashReport, WholeReportOfAnAccessViolationInAModule) {
    CrashModule modules[] = {
        Module("C:\\windows\\system32\\kernel32.dll", 0x00007FFA00000000ull, 0x100000),
        Module("C:\\Tellwire\\tellwire.exe", 0x00007FF612340000ull, 0x20000),
    };
    modules[1].fileVersionMS = 0x00010002;
    modules[1].fileVersionLS = 0x00030004;
    modules[1].productVersionMS = 0x00010002;
    modules[1].productVersionLS = 0;
    CrashFacts facts = AccessViolation();
    facts.modules = modules;
    facts.moduleCount = 2;
    EXPECT_EQ("Execption In Module: C:\\Tellwire\\tellwire.exe\r\n"
              "Application: C:\\Tellwire\\tellwire.exe\r\n"
              "Exception Code: 0xC0000005\r\nException Description: ACCESS_VIOLATION"
              "\r\nException Address: 0x00007FF612341234\r\n"
              "Exception Flags: 0x0\r\n"
              "Exception Information [0]: 0x0000000000000001\r\n"
              "Exception Information [1]: 0x0000000000000010\r\n"
              "\r\nProcessor: 0x9"
              "\r\nNumber Of Processors: 2"
              "\r\nOperating System: 10.0 buind 19045 \"\"\r\n\r\n"
              "\r\n-- Modules --\r\n"
              "\r\nFullPath: C:\\windows\\system32\\kernel32.dll"
              "\r\nBaseAddress: 0x00007FFA00000000"
              "\r\nImageSize: 0x00100000"
              "\r\nFileVersion: 0.0.0.0"
              "\r\nProductVersion: 0.0.0.0\r\n"
              "\r\nFullPath: C:\\Tellwire\\tellwire.exe"
              "\r\nBaseAddress: 0x00007FF612340000"
              "\r\nImageSize: 0x00020000"
              "\r\nFileVersion: 1.2.3.4"
              "\r\nProductVersion: 1.2.0.0\r\n",
              Joined(facts));
}

TEST(CrashReport, ParameterLinesAtMostFifteen) {
    CrashFacts facts = AccessViolation();
    for (uint32_t i = 0; i < kMaxExceptionParameters; ++i) facts.parameters[i] = 0xA0 + i;
    struct Case {
        uint32_t count;
        size_t lines;
    } const cases[] = {{0, 0}, {3, 3}, {15, 15}, {16, 15}, {20, 15}, {0xFFFFFFFFu, 15}};
    for (const Case& c : cases) {
        facts.parameterCount = c.count;
        std::vector<std::string> lines;
        for (const std::string& piece : Pieces(facts)) {
            if (piece.rfind("Exception Information [", 0) == 0) lines.push_back(piece);
        }
        ASSERT_EQ(c.lines, lines.size()) << c.count;
        for (size_t i = 0; i < lines.size(); ++i) {
            char expected[96];
            std::snprintf(expected, sizeof expected, "Exception Information [%zu]: 0x%016llX\r\n", i,
                          static_cast<unsigned long long>(0xA0 + i));
            EXPECT_EQ(expected, lines[i]);
        }
    }
}

TEST(CrashReport, NoExceptionRecordNoExceptionLines) {
    CrashFacts facts = AccessViolation();
    facts.hasRecord = false;
    CrashModule module = Module("C:\\Tellwire\\tellwire.exe", 0x00007FF612340000ull, 0x20000);
    facts.modules = &module;
    facts.moduleCount = 1;
    std::string text = Joined(facts);
    EXPECT_EQ(0u, text.find("\r\nProcessor: 0x9"));
    EXPECT_EQ(std::string::npos, text.find("Exception"));
    EXPECT_EQ(std::string::npos, text.find("Execption"));
}

TEST(CrashReport, NoModulesNoModuleLines) {
    CrashFacts facts = AccessViolation();
    std::string text = Joined(facts);
    EXPECT_EQ(0u, text.find("Application: "));  // no module list: no faulting module either
    EXPECT_EQ(text.size() - 17, text.find("\r\n-- Modules --\r\n"));
}

TEST(CrashReport, AddressInNoModuleGivesNoModuleLine) {
    CrashModule module = Module("C:\\a.dll", 0x10000000, 0x1000);
    CrashFacts facts = AccessViolation();
    facts.address = 0x20000000;
    facts.modules = &module;
    facts.moduleCount = 1;
    std::string text = Joined(facts);
    EXPECT_EQ(std::string::npos, text.find("Execption In Module"));
    EXPECT_NE(std::string::npos, text.find("\r\nFullPath: C:\\a.dll"));
}

TEST(CrashReport, FaultingModuleRangeIncludesBothEnds) {
    CrashModule modules[] = {
        Module("first", 0x10000000, 0x1000),
        Module("second", 0x10001000, 0x1000),  // starts where the first one's range ends
        Module("top", 0xFFFFFFFFFFFFF000ull, 0xFFFFFFFF),
    };
    struct Case {
        uint64_t address;
        const char* module;
    } const cases[] = {
        {0x0FFFFFFF, nullptr},   {0x10000000, "first"},  {0x10000FFF, "first"},
        {0x10001000, "first"},   // both ends included: the first record that holds it wins
        {0x10001001, "second"},  {0x10002000, "second"}, {0x10002001, nullptr},
        {0xFFFFFFFFFFFFFFFFull, "top"},  // no wrap past the top of the address space
        {0x00000000FFFFF000ull, nullptr},  // a 64-bit address is not cut to 32 bits
    };
    for (const Case& c : cases) {
        const CrashModule* found = FindFaultingModule(modules, 3, c.address);
        if (c.module == nullptr) {
            EXPECT_EQ(nullptr, found) << std::hex << c.address;
        } else {
            ASSERT_NE(nullptr, found) << std::hex << c.address;
            EXPECT_STREQ(c.module, found->path) << std::hex << c.address;
        }
    }
    EXPECT_EQ(nullptr, FindFaultingModule(nullptr, 3, 0x10000000));
}

TEST(CrashReport, ExceptionNames) {
    struct Case {
        uint32_t code;
        const char* name;
    } const cases[] = {
        {0x80000001, "GUARD_PAGE"},           {0x80000002, "DATATYPE_MISALIGNMENT"},
        {0x80000003, "BREAKPOINT"},           {0x80000004, "SINGLE_STEP"},
        {0xC0000005, "ACCESS_VIOLATION"},     {0xC0000006, "IN_PAGE_ERROR"},
        {0xC0000008, "INVALID_HANDLE"},       {0xC000001D, "ILLEGAL_INSTRUCTION"},
        {0xC0000025, "NONCONTINUABLE_EXCEPTION"}, {0xC0000026, "INVALID_DISPOSITION"},
        {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"}, {0xC000008D, "FLT_DENORMAL_OPERAND"},
        {0xC000008E, "FLT_DIVIDE_BY_ZERO"},   {0xC000008F, "FLT_INEXACT_RESULT"},
        {0xC0000090, "FLT_INVALID_OPERATION"}, {0xC0000091, "FLT_OVERFLOW"},
        {0xC0000092, "FLT_STACK_CHECK"},      {0xC0000093, "FLT_UNDERFLOW"},
        {0xC0000094, "INT_DIVIDE_BY_ZERO"},   {0xC0000095, "INT_OVERFLOW"},
        {0xC0000096, "PRIV_INSTRUCTION"},     {0xC00000FD, "STACK_OVERFLOW"},
        {0, "UNKNOWN"}, {0xC0000007, "UNKNOWN"}, {0xE06D7363, "UNKNOWN"}, {0xC0000409, "UNKNOWN"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.name, ExceptionName(c.code)) << std::hex << c.code;

    CrashFacts facts = AccessViolation();
    facts.code = 0xE06D7363;
    EXPECT_NE(std::string::npos, Joined(facts).find("Exception Code: 0xE06D7363\r\nException Description: UNKNOWN\r\n"));
}

TEST(CrashReport, ProcessorNamesAndLevels) {
    struct Case {
        uint16_t architecture;
        const char* name;
    } const names[] = {
        {0, "INTEL"}, {1, "MIPS"}, {2, "ALPHA"}, {3, "PPC"}, {4, "SHX"}, {5, "ARM"}, {6, "IA64"},
        {7, "0x7"},   {9, "0x9"},  {12, "0xC"},  {0xFFFF, "UNKNOWN"}, {0xFFFE, "0xFFFE"},
    };
    for (const Case& c : names) {
        char out[32];
        FormatProcessorName(c.architecture, out, sizeof out);
        EXPECT_STREQ(c.name, out);
    }
    struct Level {
        uint16_t level;
        const char* name;
    } const levels[] = {
        {3, "Intel 30386"}, {4, "Intel 80486"}, {5, "Intel Pentium"}, {6, "Intel Pentium Pro"},
        {0, "0"},           {2, "2"},           {7, "7"},             {15, "15"},
    };
    for (const Level& c : levels) {
        char out[32];
        FormatProcessorLevel(c.level, out, sizeof out);
        EXPECT_STREQ(c.name, out);
    }
}

TEST(CrashReport, ProcessorLevelOnlyForIntel) {
    CrashFacts facts = AccessViolation();
    facts.hasRecord = false;
    facts.processorArchitecture = 0;
    facts.processorLevel = 5;
    facts.processorCount = 1;
    facts.osMajor = 5;
    facts.osMinor = 1;
    facts.osBuild = 2600;
    facts.servicePack = "Service Pack 3";
    EXPECT_EQ("\r\nProcessor: INTEL\r\nProcessor Level: Intel Pentium\r\nNumber Of Processors: 1"
              "\r\nOperating System: 5.1 buind 2600 \"Service Pack 3\"\r\n\r\n\r\n-- Modules --\r\n",
              Joined(facts));
    facts.processorArchitecture = 6;
    EXPECT_EQ(std::string::npos, Joined(facts).find("Processor Level"));
    facts.processorArchitecture = 0xFFFF;
    EXPECT_EQ(0u, Joined(facts).find("\r\nProcessor: UNKNOWN\r\nNumber Of Processors: 1"));
}

TEST(CrashReport, LongTextsAreCutToOnePiece) {
    std::string longPath(6000, 'p');
    CrashFacts facts = AccessViolation();
    facts.applicationPath = longPath.c_str();
    facts.servicePack = nullptr;
    std::vector<std::string> pieces = Pieces(facts);
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(kReportPieceSize - 1, pieces[0].size());
    EXPECT_NE(std::string::npos, Joined(facts).find("buind 19045 \"\"\r\n"));
}

}  // namespace
