#include "base/program_path.h"

#include <gtest/gtest.h>

namespace {

// A stored window counts as a running copy only in a process started from a file of our name.
TEST(ProgramPath, SameFileName) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } const cases[] = {
        {"C:\\Program Files\\Tellwire\\tellwire.exe", "Z:\\work\\build\\TELLWIRE.EXE", true},  // any folder, any case
        {"C:\\Tellwire\\tellwire.exe", "C:/Tellwire/tellwire.exe", true},
        {"C:\\Tellwire\\tellwire.exe", "C:\\Tellwire\\notepad.exe", false},
        {"C:\\Tellwire\\tellwire.exe", "C:\\Other\\mytellwire.exe", false},  // alike only at the end
        {"C:\\Tellwire\\tellwire.exe", "C:\\tellwire.exe\\setup.exe", false},  // a folder of that name
        {"C:\\Tellwire\\", "D:\\Other\\", false},                            // no file name at all
        {nullptr, "tellwire.exe", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.same, SameFileName(c.a, c.b)) << (c.a ? c.a : "(null)") << " | " << c.b;
    }
}

}  // namespace
