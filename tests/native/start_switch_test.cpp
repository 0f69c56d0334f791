#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(StartSwitch, Recognised) {
    struct Case {
        const char* arguments;
        StartSwitch expected;
    } const cases[] = {
        {nullptr, StartSwitch::None},
        {"", StartSwitch::None},
        {"/minimized", StartSwitch::None},
        {"/HOMEURL", StartSwitch::HomeUrl},
        {"/homeurl", StartSwitch::HomeUrl},
        {"/HomeUrl", StartSwitch::HomeUrl},
        {"/UNINSTALL", StartSwitch::Uninstall},
        {"/uninstall", StartSwitch::Uninstall},
        {"/UnInstall", StartSwitch::Uninstall},
        {"x/UNINSTALLy", StartSwitch::Uninstall},           // inside a longer argument
        {"--please/homeurl/now", StartSwitch::HomeUrl},
        {"/UNINSTALL /HOMEURL", StartSwitch::HomeUrl},     // /HOMEURL wins, wherever it stands
        {"/HOMEURL /UNINSTALL", StartSwitch::HomeUrl},
        {"UNINSTALL", StartSwitch::None},                  // the slash belongs to the switch
        {"/UNINSTAL", StartSwitch::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ChooseStartSwitch(c.arguments)) << (c.arguments ? c.arguments : "(null)");
    }
}

}  // namespace
