#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(StartSwitch, Recognised) {
    struct Case { const char* arguments; StartSwitch expected; } const cases[] = {
        {nullptr, StartSwitch::None},        {"", StartSwitch::None},
        {"/minimized", StartSwitch::None},   {"UNINSTALL", StartSwitch::None},  // the slash belongs to the switch
        {"/UNINSTAL", StartSwitch::None},    {"/homeurl", StartSwitch::HomeUrl},
        {"/UnInstall", StartSwitch::Uninstall}, {"x/UNINSTALLy", StartSwitch::Uninstall},  // also inside an argument
        {"/UNINSTALL /HOMEURL", StartSwitch::HomeUrl}, {"/HOMEURL /UNINSTALL", StartSwitch::HomeUrl},  // /HOMEURL wins
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, ChooseStartSwitch(c.arguments)) << (c.arguments ? c.arguments : "-");
}
