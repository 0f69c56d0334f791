// The settings store against the real registry of the test prefix: what is written comes back
// with its type, and what an old version, a hand edit or a broken import leaves reads as missing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/settings.h"
#include "tests/win/win_test.h"

namespace {

const char kProductKey[] = "SOFTWARE\\Quillex\\Tellwire v1.2";

// Stores a value exactly as given, bypassing the store.
void PutRaw(const char* name, DWORD type, const std::string& data) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
    RegCloseKey(key);
}

TEST(Settings, ValuesComeBackWithTheirTypeOrReadAsMissing) {
    const std::string noNul = "0123456789abcdefghij";
    struct Case {
        const char* what;
        bool raw;  // stored around the store, else through WriteSetting
        DWORD type;
        std::string stored;
        DWORD bufferSize;
        int readType;      // -1: missing
        std::string read;  // the buffer afterwards, zeros behind the value
        DWORD number;      // ReadSettingDword with a default of 7
    } const cases[] = {
        {"a text", false, REG_SZ, std::string("10.1.2.255\0", 11), 16, REG_SZ,
         std::string("10.1.2.255\0\0\0\0\0\0", 16), 7},
        {"a text that fills the buffer with its NUL", true, REG_SZ, noNul.substr(0, 19) + '\0', 20, REG_SZ,
         noNul.substr(0, 19) + '\0', 7},
        {"a text that fills the buffer without a NUL", true, REG_SZ, noNul, 20, -1, std::string(20, '\0'), 7},
        {"a value larger than the buffer", true, REG_SZ, std::string(299, 'A') + '\0', 256, -1,
         std::string(256, '\0'), 7},
        {"a number stored as text", true, REG_SZ, std::string("12345\0", 6), 8, REG_SZ, std::string("12345\0\0\0", 8),
         7},
        {"an empty number", true, REG_DWORD, "", 4, -1, std::string(4, '\0'), 7},
        {"a two-byte number", true, REG_DWORD, std::string("\x07\0", 2), 4, -1, std::string(4, '\0'), 7},
        {"an eight-byte number into a larger buffer", true, REG_DWORD, "\1\2\3\4\5\6\7\x08", 16, -1,
         std::string(16, '\0'), 7},
        {"an empty write, which deletes", false, REG_DWORD, "", 4, -1, std::string(4, '\0'), 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WipeSettings();  // the first write makes the keys
        ASSERT_EQ(ERROR_SUCCESS, WriteSettingDword("value", 0x55));
        if (c.raw) {
            PutRaw("value", c.type, c.stored);
        } else {
            DWORD size = static_cast<DWORD>(c.stored.size());
            ASSERT_EQ(ERROR_SUCCESS, WriteSetting("value", c.stored.data(), size, c.type));
        }
        std::string buffer(c.bufferSize, 'x');
        EXPECT_EQ(c.readType, ReadSetting("value", &buffer[0], c.bufferSize));
        EXPECT_EQ(c.read, buffer);
        EXPECT_EQ(c.number, ReadSettingDword("value", 7));
    }
    WipeSettings();
}

}  // namespace
