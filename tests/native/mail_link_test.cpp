#include "diag/mail_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(MailLink, PercentEncoding) {
    struct Case {
        const char* text;
        const char* encoded;
    } const cases[] = {
        {"Tellwire v1.2 - Crash Report", "Tellwire%20v1.2%20-%20Crash%20Report"},
        {"a&b=c?d#e%f+g", "a%26b%3Dc%3Fd%23e%25f%2Bg"},  // what would end or change a field
        {"line\nnext", "line%0D%0Anext"},                 // mail line breaks are CR LF
        {"line\r\nnext", "line%0D%0Anext"},
        {"cr\ronly", "cr%0Donly"},
        {"\n", "%0D%0A"},
        {"A-Z_a.z~09", "A-Z_a.z~09"},
        {"caf\xE9 \"x\"", "caf%E9%20%22x%22"},
        {"", ""},
    };
    for (const Case& c : cases) {
        char out[128];
        EXPECT_TRUE(PercentEncode(c.text, out, sizeof out)) << c.text;
        EXPECT_STREQ(c.encoded, out) << c.text;
        EXPECT_LE(std::strlen(out) + 1, PercentEncodedSize(std::strlen(c.text)));
    }
    char small[5];
    EXPECT_FALSE(PercentEncode("a b", small, sizeof small));  // "a%20b" needs 6 bytes
    EXPECT_STREQ("", small);
    char fits[6];
    EXPECT_TRUE(PercentEncode("a b", fits, sizeof fits));
    EXPECT_STREQ("a%20b", fits);
}

TEST(MailLink, TheCrashReportMail) {
    char link[512];
    ASSERT_TRUE(BuildMailtoLink("support@tellwire.quillex.example", "Tellwire v1.2 - Crash Report",
                                "Please describe the problem.\nWhat have you done before you have got the error "
                                "message?",
                                link, sizeof link));
    EXPECT_STREQ("mailto:support@tellwire.quillex.example?subject=Tellwire%20v1.2%20-%20Crash%20Report"
                 "&body=Please%20describe%20the%20problem.%0D%0AWhat%20have%20you%20done%20before%20you%20have%20"
                 "got%20the%20error%20message%3F",
                 link);
}

// A link carries no files, so the body tells where they are kept for the user to attach.
TEST(MailLink, TheBodyNamesTheFilesToAttach) {
    const char* prompt = "Please describe the problem.";
    const char* report = "C:\\users\\ann\\Temp\\tlwire.txt";
    const char* dump = "C:\\users\\ann\\Temp\\tlwire.dmp";
    const std::string note =
        "Please describe the problem.\n\nThe files of the report cannot go with this mail by themselves. Please "
        "attach them from the folder that has been opened for you:";
    struct Case {
        const char* report;
        const char* dump;
        std::string body;
    } const cases[] = {
        {report, dump, note + "\nC:\\users\\ann\\Temp\\tlwire.txt\nC:\\users\\ann\\Temp\\tlwire.dmp"},
        {report, nullptr, note + "\nC:\\users\\ann\\Temp\\tlwire.txt"},  // the dump was not to go along
        {nullptr, nullptr, prompt},                                       // no files: nothing to attach
    };
    for (const Case& c : cases) {
        char body[512];
        EXPECT_TRUE(BuildBodyWithFiles(prompt, c.report, c.dump, body, sizeof body));
        EXPECT_EQ(c.body, body);
        char small[64];
        bool fits = c.body.size() < sizeof small;
        EXPECT_EQ(fits, BuildBodyWithFiles(prompt, c.report, c.dump, small, sizeof small));
        EXPECT_EQ(fits ? c.body : std::string(), small);
    }
    // In the link, the folder separators and the drive's colon are encoded like any other byte.
    char body[512];
    char link[2048];
    ASSERT_TRUE(BuildBodyWithFiles("", report, nullptr, body, sizeof body));
    ASSERT_TRUE(BuildMailtoLink("a@b", "s", body, link, sizeof link));
    EXPECT_NE(nullptr, std::strstr(link, "%0D%0AC%3A%5Cusers%5Cann%5CTemp%5Ctlwire.txt"));
}

TEST(MailLink, LinksThatDoNotFit) {
    const std::string full = "mailto:a@b?subject=s%20t&body=b";
    for (size_t size = 1; size <= full.size() + 1; ++size) {
        std::string out(size, 'x');
        bool fits = BuildMailtoLink("a@b", "s t", "b", &out[0], size);
        EXPECT_EQ(size == full.size() + 1, fits) << size;
        EXPECT_EQ(fits ? full : std::string(), std::string(out.c_str())) << size;
    }
    char out[64];
    EXPECT_FALSE(BuildMailtoLink("", "s", "b", out, sizeof out));
    EXPECT_FALSE(BuildMailtoLink(nullptr, "s", "b", out, sizeof out));
    EXPECT_TRUE(BuildMailtoLink("a@b", nullptr, nullptr, out, sizeof out));
    EXPECT_STREQ("mailto:a@b?subject=&body=", out);
    char exact[sizeof "mailto:a@b?subject=&body="];
    EXPECT_TRUE(BuildMailtoLink("a@b", "", "", exact, sizeof exact));
}

TEST(MailLink, WhenMapiLeavesTheMailToTheLink) {
    struct Case {
        uint32_t result;
        bool link;
    } const cases[] = {
        {0, false},   // sent (or handed to the mail program)
        {1, false},   // the user cancelled: no second attempt
        {2, true},    // MAPI_E_FAILURE: no mail program took it
        {3, true},    // MAPI_E_LOGIN_FAILURE: no profile
        {5, true},    // MAPI_E_INSUFFICIENT_MEMORY
        {11, true},   // MAPI_E_ATTACHMENT_NOT_FOUND
        {26, true},   // MAPI_E_NOT_SUPPORTED: no MAPI at all
    };
    for (const Case& c : cases) EXPECT_EQ(c.link, MailLinkNeededAfter(c.result)) << c.result;
}

}  // namespace
