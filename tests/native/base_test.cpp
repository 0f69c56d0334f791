// Rules of the base folder, where the application sends a modem's call, and where help opens.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "app/call_routing.h"
#include "app/help_address.h"
#include "base/data_file_rule.h"
#include "base/data_folder.h"
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

// A data file beside the program stays there wherever that works, as it always did; only a file
// that never could be written there (Program Files) goes to the user's folder.
TEST(DataFolder, BesideTheProgramWhereverThatWorks) {
    const char* beside = "C:\\Program Files\\Tellwire\\tellwire.log";
    struct Case { const char* stored; bool fileThere, writable, userKnown; DataFolder folder; } const cases[] = {
        {nullptr, false, true, true, DataFolder::Program},   // a portable copy's first start
        {nullptr, true, false, true, DataFolder::Program},   // a read-only folder that holds the file
        {nullptr, false, false, true, DataFolder::User},     // Program Files, first start
        {nullptr, false, false, false, DataFolder::Program}, // no user folder: as before
        {"", false, false, true, DataFolder::User},          // an empty text names no file
        // What an earlier start stored for itself in a folder it never could write.
        {"c:\\program files\\tellwire\\TELLWIRE.LOG", false, false, true, DataFolder::User},
        {"C:\\Program Files\\Tellwire\\tellwire.log", true, false, true, DataFolder::Program},
        // The user's own choice (a share, say) is never second-guessed.
        {"\\\\server\\calls\\tellwire.log", false, false, true, DataFolder::Stored},
        {"C:\\Users\\ann\\AppData\\Roaming\\Quillex\\Tellwire\\tellwire.log", false, true, true,
         DataFolder::Stored},
    };
    for (const Case& c : cases) {
        DataFolderFacts facts{ClassifyStoredPath(c.stored, beside), c.fileThere, c.writable, c.userKnown};
        EXPECT_EQ(c.folder, ChooseDataFolder(facts))
            << (c.stored ? c.stored : "(none)") << " " << c.fileThere << c.writable << c.userKnown;
    }
}

// The browser gets the help file's address whole, at the section named like the page's heading,
// whatever the user's folder is called.
TEST(HelpAddress, SectionOfTheHelpFile) {
    struct Case { const char *path, *title, *address; } const cases[] = {
        {"C:\\Users\\ann\\Temp\\tellwire-help.html", "Phone Book",
         "file:///C:/Users/ann/Temp/tellwire-help.html#phone-book"},
        {"C:\\Users\\Ann Lee #2\\h.html", " Troubleshooting:  a modem! ",
         "file:///C:/Users/Ann%20Lee%20%232/h.html#troubleshooting-a-modem"},
        {"C:\\Users\\Ren\xC3\xA9\\100%\\h.html", "", "file:///C:/Users/Ren%C3%A9/100%25/h.html"},  // UTF-8 bytes
    };
    for (const Case& c : cases) {
        char anchor[64];
        char address[256];
        ASSERT_TRUE(MakeHelpAnchor(c.title, anchor, sizeof anchor)) << c.title;
        ASSERT_TRUE(BuildFileAddress(c.path, anchor, address, sizeof address)) << c.path;
        EXPECT_STREQ(c.address, address);
    }
    char small[16];
    EXPECT_FALSE(BuildFileAddress("C:\\a long path\\h.html", "x", small, sizeof small));
    EXPECT_STREQ("", small);
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
