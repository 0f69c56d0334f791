#include "base/settings_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(SettingsTable, NamesAreUniqueAndFitTheirBuffers) {
    std::set<std::string> names;
    for (const SettingInfo* info : kAllSettings) {
        EXPECT_TRUE(names.insert(info->name).second) << info->name;
        EXPECT_EQ(info->perPort, std::strncmp(info->name, "%s_", 3) == 0) << info->name;
        if (info->type == kRegDword) {
            EXPECT_EQ(4u, info->readSize) << info->name;
        }
        if (info->defaultText != nullptr) {
            EXPECT_LT(std::strlen(info->defaultText), info->readSize) << info->name;
        }
        EXPECT_TRUE(info->anyType == (info->perPort && info->type == kRegSz)) << info->name;
    }
    EXPECT_EQ(22u, names.size());
}

TEST(SettingsTable, PerPortNames) {
    char name[kSettingNameSize];
    ASSERT_TRUE(MakeSettingName(name, sizeof name, kSettingPortBaudRate, 2));
    EXPECT_STREQ("COM2_baud_rate", name);
    ASSERT_TRUE(MakeSettingName(name, sizeof name, kSettingPortWindows, 4));
    EXPECT_STREQ("COM4_wnd", name);
    ASSERT_TRUE(MakeSettingName(name, sizeof name, kSettingRole, 0));
    EXPECT_STREQ("role", name);
    EXPECT_FALSE(MakeSettingName(name, sizeof name, kSettingPortEnabled, 0));
    EXPECT_STREQ("", name);
    EXPECT_FALSE(MakeSettingName(name, sizeof name, kSettingPortEnabled, 5));
    char tiny[6];
    ASSERT_TRUE(MakeSettingName(tiny, sizeof tiny, kSettingPortStopBits, 1));
    EXPECT_STREQ("COM1_", tiny);  // bounded, never past the buffer
}

}  // namespace
