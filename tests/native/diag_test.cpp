// The crash reporter's rules: the report, the dialog's countdown, the mail and the files it made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "diag/crash_countdown.h"
#include "diag/crash_report.h"
#include "diag/mail_link.h"
#include "diag/temp_file_path.h"

namespace {

// The report as the file gets it, one entry per piece.
std::vector<std::string> Pieces(const CrashFacts& facts) {
    std::vector<std::string> pieces;
    WriteCrashReport(facts, ReportSink{[](void* context, const char* text, size_t length) {
                                           static_cast<std::vector<std::string>*>(context)->emplace_back(text, length);
                                       }, &pieces});
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
    facts.address = 0x00007FF612341234ull;
    facts.parameterCount = 2;
    facts.parameters[0] = 1;
    facts.parameters[1] = 0x10;
    facts.applicationPath = "C:\\Tellwire\\tellwire.exe";
    facts.processorArchitecture = 9;
    facts.processorLevel = 6;
    facts.processorCount = 2;
    facts.osMajor = 10;
    facts.osBuild = 19045;
    facts.servicePack = "";
    return facts;
}

// The report's lines are read by support's tools as they have always been spelt.
TEST(CrashReport, WholeReportOfAnAccessViolationInAModule) {
    CrashModule modules[] = {
        Module("C:\\windows\\system32\\kernel32.dll", 0x00007FFA00000000ull, 0x100000),
        Module("C:\\Tellwire\\tellwire.exe", 0x00007FF612340000ull, 0x20000),
    };
    modules[1].fileVersionMS = 0x00010002;
    modules[1].fileVersionLS = 0x00030004;
    modules[1].productVersionMS = 0x00010002;
    CrashFacts facts = AccessViolation();
    facts.modules = modules;
    facts.moduleCount = 2;
    EXPECT_EQ("Execption In Module: C:\\Tellwire\\tellwire.exe\r\nApplication: C:\\Tellwire\\tellwire.exe\r\n"
              "Exception Code: 0xC0000005\r\nException Description: ACCESS_VIOLATION\r\n"
              "Exception Address: 0x00007FF612341234\r\nException Flags: 0x0\r\n"
              "Exception Information [0]: 0x0000000000000001\r\nException Information [1]: 0x0000000000000010\r\n"
              "\r\nProcessor: 0x9\r\nNumber Of Processors: 2\r\nOperating System: 10.0 buind 19045 \"\"\r\n\r\n"
              "\r\n-- Modules --\r\n"
              "\r\nFullPath: C:\\windows\\system32\\kernel32.dll\r\nBaseAddress: 0x00007FFA00000000"
              "\r\nImageSize: 0x00100000\r\nFileVersion: 0.0.0.0\r\nProductVersion: 0.0.0.0\r\n"
              "\r\nFullPath: C:\\Tellwire\\tellwire.exe\r\nBaseAddress: 0x00007FF612340000"
              "\r\nImageSize: 0x00020000\r\nFileVersion: 1.2.3.4\r\nProductVersion: 1.2.0.0\r\n",
              Joined(facts));

    // Without an exception record no exception lines; an Intel processor has its level told.
    facts.hasRecord = false;
    facts.processorArchitecture = 0;
    facts.processorLevel = 5;
    EXPECT_EQ(0u, Joined(facts).find("\r\nProcessor: INTEL\r\nProcessor Level: Intel Pentium\r\nNumber Of Processors: 2"));
}

// A record claims up to 2^32 parameters but holds 15: no line reads past them.
TEST(CrashReport, ParameterLinesAtMostFifteen) {
    CrashFacts facts = AccessViolation();
    for (uint32_t i = 0; i < kMaxExceptionParameters; ++i) facts.parameters[i] = 0xA0 + i;
    for (uint32_t count : {0u, 15u, 16u, 0xFFFFFFFFu}) {
        facts.parameterCount = count;
        std::vector<std::string> lines;
        for (const std::string& piece : Pieces(facts)) {
            if (piece.rfind("Exception Information [", 0) == 0) lines.push_back(piece);
        }
        ASSERT_EQ(std::min(count, 15u), lines.size()) << count;
        if (count > 0) {
            EXPECT_EQ("Exception Information [14]: 0x00000000000000AE\r\n", lines.back());
        }
    }
    // A path longer than a piece is cut to one piece.
    const std::string longPath(6000, 'p');
    facts.applicationPath = longPath.c_str();
    EXPECT_EQ(kReportPieceSize - 1, Pieces(facts)[0].size());
}

TEST(CrashReport, FaultingModuleRangeIncludesBothEnds) {
    CrashModule modules[] = {
        Module("first", 0x10000000, 0x1000),
        Module("second", 0x10001000, 0x1000),  // starts where the first one's range ends
        Module("top", 0xFFFFFFFFFFFFF000ull, 0xFFFFFFFF),
    };
    struct Case { uint64_t address; const char* module; } const cases[] = {
        {0x0FFFFFFF, nullptr}, {0x10001000, "first"},  // both ends included: the first record that holds it wins
        {0x10001001, "second"}, {0x10002001, nullptr},
        {0xFFFFFFFFFFFFFFFFull, "top"},    // no wrap past the top of the address space
        {0x00000000FFFFF000ull, nullptr},  // a 64-bit address is not cut to 32 bits
    };
    for (const Case& c : cases) {
        const CrashModule* found = FindFaultingModule(modules, 3, c.address);
        EXPECT_STREQ(c.module, found != nullptr ? found->path : nullptr) << std::hex << c.address;
    }
}

TEST(CrashCountdown, OneSecondSteps) {
    struct Case { const char *current, *next; bool ignoreNow; } const cases[] = {
        {"Ignore", "Ignore [60]", false},     // no count yet: the countdown starts at 61
        {"Ignore [1]", "Ignore [0]", true},   // the last step chooses Ignore
        {"Ignore [99999999999999]", "Ignore [2147483646]", false},  // saturated, not overflowing
    };
    for (const Case& c : cases) {
        char out[64];
        EXPECT_EQ(c.ignoreNow, NextCountdownText(c.current, out, sizeof out)) << c.current;
        EXPECT_STREQ(c.next, out) << c.current;
        CutCountdown(out);  // the caption comes back when the countdown is cut
        EXPECT_EQ(std::string(c.current).substr(0, std::string(c.current).find(" [")), out);
    }
}

TEST(MailLink, PercentEncoding) {
    char out[128];  // what would end or change a field is encoded; mail line breaks are CR LF
    EXPECT_TRUE(PercentEncode("a&b=c?d#e%f+g x\ny\r\nz\r", out, sizeof out));
    EXPECT_STREQ("a%26b%3Dc%3Fd%23e%25f%2Bg%20x%0D%0Ay%0D%0Az%0D", out);
    // A link that does not fit is none at all, never a cut one.
    char link[sizeof "mailto:a@b?subject=s%20t&body=C%3A%5Cx"];
    EXPECT_TRUE(BuildMailtoLink("a@b", "s t", "C:\\x", link, sizeof link));
    EXPECT_STREQ("mailto:a@b?subject=s%20t&body=C%3A%5Cx", link);
    EXPECT_FALSE(BuildMailtoLink("a@b", "s t", "C:\\xy", link, sizeof link));
    EXPECT_STREQ("", link);
}

// A link carries no files, so the body tells where they are kept for the user to attach.
TEST(MailLink, TheBodyNamesTheFilesToAttach) {
    const char* prompt = "Please describe the problem.";
    const char* report = "C:\\users\\ann\\Temp\\tlwire.txt";
    const char* dump = "C:\\users\\ann\\Temp\\tlwire.dmp";
    const std::string note =
        "Please describe the problem.\n\nThe files of the report cannot go with this mail by themselves. Please "
        "attach them from the folder that has been opened for you:";
    struct Case { const char *report, *dump; std::string body; } const cases[] = {
        {report, dump, note + "\nC:\\users\\ann\\Temp\\tlwire.txt\nC:\\users\\ann\\Temp\\tlwire.dmp"},
        {report, nullptr, note + "\nC:\\users\\ann\\Temp\\tlwire.txt"},  // the dump was not to go along
        {nullptr, nullptr, prompt},                                       // no files: nothing to attach
    };
    for (const Case& c : cases) {
        char body[512];
        EXPECT_TRUE(BuildBodyWithFiles(prompt, c.report, c.dump, body, sizeof body));
        EXPECT_EQ(c.body, body);
        char small[64];  // a body that does not fit is none at all
        EXPECT_EQ(c.body.size() < sizeof small, BuildBodyWithFiles(prompt, c.report, c.dump, small, sizeof small));
    }
}

TEST(MailLink, WhenMapiLeavesTheMailToTheLink) {
    EXPECT_FALSE(MailLinkNeededAfter(0));  // sent (or handed to the mail program)
    EXPECT_FALSE(MailLinkNeededAfter(1));  // the user cancelled: no second attempt
    for (uint32_t failed : {2, 3, 26}) EXPECT_TRUE(MailLinkNeededAfter(failed)) << failed;  // no mail program, profile, MAPI
}

// Never a cut name: a cut one would be some other file in some other place.
TEST(TempFilePath, NamedInTheTempFolderWhole) {
    char out[260];
    ASSERT_TRUE(MakeTempPath("C:\\users\\me\\Temp", "txt", out, sizeof out));
    EXPECT_STREQ("C:\\users\\me\\Temp\\tlwire.txt", out);  // the backslash is added
    char small[sizeof "C:\\T\\tlwire.txt" - 1];
    EXPECT_FALSE(MakeTempPath("C:\\T", "txt", small, sizeof small));  // never a cut name
    EXPECT_STREQ("", small);
}

}  // namespace
