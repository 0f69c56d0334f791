// Rules of the base folder, and where the application sends a modem's call.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "app/call_routing.h"
#include "base/data_file_rule.h"
#include "base/program_path.h"
#include "base/text_utils.h"

namespace {

TEST(TextUtils, CleanupsInPlace) {
    struct Case { const char *input, *stripped, *collapsed, *digits, *spaced; } const cases[] = {
        {"  John   Smith \r\n", "JohnSmith", "John Smith", "", "  John   Smith   "},
        {"(555) 123-4567", "(555)123-4567", "(555) 123-4567", "5551234567", "(555) 123-4567"},
        // Code page letters are bytes over 127: a signed char must not make them controls.
        {"\xE9t\xE9 9", "\xE9t\xE9" "9", "\xE9t\xE9 9", "9", "\xE9t\xE9 9"},
        // The edges of the control range: 1, 31 and 127 become blanks; space, "~" and 128 stay.
        {"A\x01" "B\x1F" "C\x7F" "D ~\x80", "A\x01" "B\x1F" "C\x7F" "D~\x80", "A\x01" "B\x1F" "C\x7F" "D ~\x80", "",
         "A B C D ~\x80"},
    };
    for (const Case& c : cases) {
        const std::pair<void (*)(char*), const char*> cleanups[] = {
            {StripBlanks, c.stripped}, {CollapseBlanks, c.collapsed}, {KeepDigits, c.digits},
            {ReplaceControlChars, c.spaced}};
        for (const auto& [cleanup, expected] : cleanups) {
            char buffer[64];
            std::strcpy(buffer, c.input);
            cleanup(buffer);
            EXPECT_STREQ(expected, buffer) << '"' << c.input << '"';
        }
    }
}

// A stored window counts as a running copy only in a process started from a file of our name.
TEST(ProgramPath, SameFileName) {
    struct Case { const char *a, *b; bool same; } const cases[] = {
        {"C:\\Program Files\\Tellwire\\tellwire.exe", "Z:\\work\\build\\TELLWIRE.EXE", true},  // any folder, any case
        {"C:\\Tellwire\\tellwire.exe", "C:/Tellwire/tellwire.exe", true},
        {"C:\\Tellwire\\tellwire.exe", "C:\\Tellwire\\notepad.exe", false},
        {"C:\\Tellwire\\tellwire.exe", "C:\\Other\\mytellwire.exe", false},    // alike only at the end
        {"C:\\Tellwire\\tellwire.exe", "C:\\tellwire.exe\\setup.exe", false},  // a folder of that name
        {"C:\\Tellwire\\", "D:\\Other\\", false},                              // no file name at all
        {nullptr, "tellwire.exe", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.same, SameFileName(c.a, c.b)) << (c.a ? c.a : "(null)") << " | " << c.b;
}

TEST(DataFileRule, OnlyAWholeListReplacesItsFile) {
    using State = DataFileState;
    using Save = DataFileSave;
    struct Case { State state; bool loadWhole; size_t rows; Save save; } const cases[] = {
        {State::Loaded, true, 3, Save::Rewrite},
        {State::Missing, true, 3, Save::Rewrite},   // a first start: the list makes the file
        {State::Loaded, true, 0, Save::Delete},     // every row deleted
        {State::Missing, true, 0, Save::Keep},      // a file the list never knew
        {State::Loaded, false, 3, Save::Keep},      // still loading, or cut short
        {State::Loaded, false, 0, Save::Keep},
        {State::Missing, false, 0, Save::Keep},     // the loader never got to read
        {State::Unreadable, true, 3, Save::Keep},   // held by another program at start
        {State::Unreadable, true, 0, Save::Keep},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.save, ChooseDataFileSave(c.state, c.loadWhole, c.rows))
            << static_cast<int>(c.state) << " " << c.loadWhole << " " << c.rows;
    }
}

TEST(CallRouting, ByRole) {
    struct Case { uint32_t role; const char* number; bool announce, broadcast, rings; } const cases[] = {
        {1, "555", false, false, false},  // listens to the network only
        {2, "555", true, false, false},
        {3, "555", true, true, true},
        {3, "", true, false, true},       // nothing to broadcast without a number
        {7, "555", false, false, false},  // a stray stored role does nothing
    };
    for (const Case& c : cases) {
        CallRouting routing = RouteModemCall(c.role, c.number);
        EXPECT_EQ(c.announce, routing.announce) << c.role;
        EXPECT_EQ(c.broadcast, routing.broadcast) << c.role;
        EXPECT_EQ(c.rings, BroadcastsRings(c.role)) << c.role;
    }
}

}  // namespace
