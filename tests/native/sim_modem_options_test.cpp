#include "tools/sim_modem/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace sim_modem;

using Words = std::vector<std::string>;

OptionsParse Parse(const Words& words) {
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(SimModemOptions, Errors) {
    struct Case {
        Words words;
        const char* errorPart;
    } const cases[] = {
        {{}, "--link"},
        {{"--link"}, "needs a value"},
        {{"--link", "p", "--bogus"}, "unknown option --bogus"},
        {{"--link", "p", "--echo", "yes"}, "--echo"},
        {{"--link", "p", "--com", "0"}, "--com"},
        {{"--link", "p", "--repeat", "5"}, "--repeat needs --script"},
        {{"--link", "p", "--script", "s", "--repeat", "0"}, "--repeat"},
        {{"--link", "p", "--ring-gap", "-1"}, "--ring-gap"},
    };
    for (const Case& c : cases) {
        OptionsParse parse = Parse(c.words);
        EXPECT_FALSE(parse.ok) << c.errorPart;
        EXPECT_NE(std::string::npos, parse.error.find(c.errorPart)) << parse.error;
    }
}

TEST(SimModemOptions, Values) {
    OptionsParse parse = Parse({"--link", "/tmp/m", "--com", "3", "--echo", "off", "--dead",
                                "--script", "s.txt", "--repeat", "2.5", "--ring-gap", "1",
                                "--control", "c", "--record", "r", "--wall-clock"});
    ASSERT_TRUE(parse.ok) << parse.error;
    const Options& o = parse.options;
    EXPECT_EQ("/tmp/m", o.link);
    EXPECT_EQ(3, o.com);
    EXPECT_FALSE(o.modem.startEcho);
    EXPECT_TRUE(o.dead);
    EXPECT_EQ("s.txt", o.script);
    EXPECT_DOUBLE_EQ(2.5, o.repeatSeconds);
    EXPECT_DOUBLE_EQ(1, o.ringGap);
    EXPECT_EQ("c", o.control);
    EXPECT_EQ("r", o.record);
    EXPECT_TRUE(o.wallClock);

    parse = Parse({"--link", "m"});  // the defaults the end-to-end tests and the demo rely on
    ASSERT_TRUE(parse.ok);
    EXPECT_TRUE(parse.options.modem.startEcho);
    EXPECT_DOUBLE_EQ(6, parse.options.ringGap);
    EXPECT_EQ(DefaultModemSettings().accepted, parse.options.modem.accepted);
}

TEST(SimModemOptions, AcceptAndRefuseInOrder) {
    struct Case {
        Words words;
        Words accepted;
        Words refused;
    } const cases[] = {
        {{"--accept", "at+vcid = 1"}, {"AT+VCID=1"}, {}},  // replaces the defaults
        {{"--accept", "AT#CID=1", "--accept", "AT*ID1"}, {"AT#CID=1", "AT*ID1"}, {}},
        {{"--refuse", "AT#CID=1"}, {"AT+VCID=1", "AT#CC1", "AT*ID1", "AT%CCID=1"}, {"AT#CID=1"}},
        {{"--accept", "AT#CID=1", "--refuse", "AT#CID=1"}, {}, {"AT#CID=1"}},
        {{"--refuse", "AT#CID=1", "--accept", "AT#CID=1"}, {"AT#CID=1"}, {}},
    };
    for (const Case& c : cases) {
        Words words = {"--link", "m"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        OptionsParse parse = Parse(words);
        ASSERT_TRUE(parse.ok) << parse.error;
        EXPECT_EQ(c.accepted, parse.options.modem.accepted) << c.words[1];
        EXPECT_EQ(c.refused, parse.options.modem.refused) << c.words[1];
    }
}

TEST(SimModemOptions, HelpNeedsNoLink) {
    OptionsParse parse = Parse({"--help"});
    ASSERT_TRUE(parse.ok) << parse.error;
    EXPECT_TRUE(parse.options.help);
}

}  // namespace
