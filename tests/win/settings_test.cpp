// The settings store against the real registry of the test prefix. Each test starts without the
// maker's key, as on a machine where the program never ran.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/settings.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Quillex";
const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Stores a value exactly as given, bypassing the store (what an old version or a user might do).
void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

class Settings : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
        ASSERT_FALSE(KeyExists(kMakerKey));
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey); }
};

TEST_F(Settings, FirstWriteCreatesTheKeys) {
    char buffer[8] = "garbage";
    EXPECT_EQ(-1, ReadSetting("role", buffer, sizeof buffer));
    EXPECT_EQ(std::string(sizeof buffer, '\0'), std::string(buffer, sizeof buffer));  // zeroed all the same
    EXPECT_EQ(1u, ReadSettingDword("role", 1));

    EXPECT_EQ(ERROR_SUCCESS, WriteSettingDword("role", 3));
    EXPECT_TRUE(KeyExists(kMakerKey));
    EXPECT_TRUE(KeyExists(kProductKey));
    EXPECT_EQ(3u, ReadSettingDword("role", 1));
    EXPECT_EQ(3u, ReadSettingDword(kSettingRole));
}

TEST_F(Settings, TextsComeBackTerminatedAndZeroFilled) {
    const char address[] = "10.1.2.255";
    ASSERT_EQ(ERROR_SUCCESS, WriteSetting("baddr", address, sizeof address, REG_SZ));
    char buffer[20];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(REG_SZ, ReadSetting("baddr", buffer, sizeof buffer));
    EXPECT_STREQ(address, buffer);
    for (size_t i = sizeof address; i < sizeof buffer; ++i) EXPECT_EQ(0, buffer[i]) << i;

    // Exactly filling the buffer with its NUL is fine; filling it without one is too large.
    PutRaw("baddr", REG_SZ, "255.255.255.255.255", 20);
    EXPECT_EQ(REG_SZ, ReadSetting("baddr", buffer, sizeof buffer));
    EXPECT_STREQ("255.255.255.255.255", buffer);
    PutRaw("baddr", REG_SZ, "0123456789abcdefghij", 20);
    EXPECT_EQ(-1, ReadSetting("baddr", buffer, sizeof buffer));
    EXPECT_EQ(std::string(sizeof buffer, '\0'), std::string(buffer, sizeof buffer));
}

TEST_F(Settings, ValueLargerThanTheBufferIsMissing) {
    std::string stored(299, 'A');  // 300 bytes with the NUL
    PutRaw("settsel", REG_SZ, stored.c_str(), 300);
    char buffer[256];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(-1, ReadSetting("settsel", buffer, sizeof buffer));
    EXPECT_EQ(std::string(sizeof buffer, '\0'), std::string(buffer, sizeof buffer));
}

TEST_F(Settings, WrongTypeReadsAsTheDefault) {
    PutRaw("clrBg", REG_SZ, "12345", 6);
    EXPECT_EQ(0xEFEFEFu, ReadSettingDword(kSettingBackColour));
    const BYTE binary[4] = {1, 2, 3, 4};
    PutRaw("popup_t", REG_BINARY, binary, sizeof binary);
    EXPECT_EQ(30u, ReadSettingDword(kSettingPopupSeconds));
    DWORD number = 0;
    EXPECT_EQ(REG_BINARY, ReadSetting("popup_t", &number, sizeof number));  // the raw read says what it is
    PutRaw("COM2_baud_rate", REG_DWORD, "\x80\x25\x00\x00", 4);
    EXPECT_EQ(9600u, ReadSettingDword(kSettingPortBaudRate, 2));
    EXPECT_EQ(115200u, ReadSettingDword(kSettingPortBaudRate, 3));
}

TEST_F(Settings, NumbersOfAnotherSizeAreMissing) {
    PutRaw("COM1_baud_rate", REG_DWORD, "", 0);
    EXPECT_EQ(115200u, ReadSettingDword(kSettingPortBaudRate, 1));
    PutRaw("COM1_byte_size", REG_DWORD, "\x07\x00", 2);
    EXPECT_EQ(8u, ReadSettingDword(kSettingPortByteSize, 1));
    PutRaw("clrBg", REG_DWORD, "\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    DWORD colour = 0;
    EXPECT_EQ(-1, ReadSetting("clrBg", &colour, sizeof colour));
    char wide[16];
    EXPECT_EQ(-1, ReadSetting("COM1_baud_rate", wide, sizeof wide));  // also into a larger buffer
}

TEST_F(Settings, EmptyWriteDeletes) {
    ASSERT_EQ(ERROR_SUCCESS, WriteSettingDword("hWnd", 0x1234));
    EXPECT_EQ(0x1234u, ReadSettingDword("hWnd", 0));
    DWORD value = 7;
    EXPECT_EQ(ERROR_SUCCESS, WriteSetting("hWnd", &value, 0, REG_DWORD));
    DWORD buffer;
    EXPECT_EQ(-1, ReadSetting("hWnd", &buffer, sizeof buffer));
    EXPECT_EQ(ERROR_SUCCESS, WriteSetting("hWnd", nullptr, 4, REG_DWORD));  // deleting what is gone is no error
}

TEST_F(Settings, DeleteKeepsTheMakersKey) {
    ASSERT_EQ(ERROR_SUCCESS, WriteSettingDword("role", 2));
    ASSERT_EQ(ERROR_SUCCESS, WriteSetting("baddr", "1.2.3.4", 8, REG_SZ));
    DeleteSettingsKey();
    EXPECT_FALSE(KeyExists(kProductKey));
    EXPECT_TRUE(KeyExists(kMakerKey));
    char buffer[20];
    EXPECT_EQ(-1, ReadSetting("baddr", buffer, sizeof buffer));
    EXPECT_EQ(1u, ReadSettingDword(kSettingRole));
    DeleteSettingsKey();  // a second time finds nothing and does no harm
    EXPECT_TRUE(KeyExists(kMakerKey));
}

TEST_F(Settings, BadArguments) {
    char buffer[4];
    EXPECT_EQ(-1, ReadSetting(nullptr, buffer, sizeof buffer));
    EXPECT_EQ(-1, ReadSetting("role", nullptr, 4));
    EXPECT_EQ(-1, ReadSetting("role", buffer, 0));
}

}  // namespace
