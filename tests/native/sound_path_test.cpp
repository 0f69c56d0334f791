#include "present/sound_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(SoundPath, RingOfTheWindowsDirectory) {
    struct Case {
        const char* directory;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\windows", "C:\\windows\\Media\\ringin.wav"},
        {"C:\\", "C:\\Media\\ringin.wav"},  // a drive's root already ends with the backslash
        {"D:\\WINNT\\", "D:\\WINNT\\Media\\ringin.wav"},
        {"", "\\Media\\ringin.wav"},
        {nullptr, "\\Media\\ringin.wav"},
    };
    for (const Case& c : cases) {
        char path[kSoundPathSize];
        EXPECT_TRUE(MakeDefaultSoundPath(c.directory, path, sizeof path)) << c.expected;
        EXPECT_STREQ(c.expected, path);
    }
}

TEST(SoundPath, CutToTheSizeOfAPath) {
    struct Case {
        size_t directoryLength;
        bool fits;
    };
    // 242 characters, a backslash and the 16 of "Media\ringin.wav" make 259: the longest that fits.
    const Case cases[] = {{242, true}, {243, false}, {258, false}, {259, false}, {400, false}};
    for (const Case& c : cases) {
        std::string directory = "C:" + std::string(c.directoryLength - 2, 'd');
        std::string whole = directory + "\\Media\\ringin.wav";
        char path[kSoundPathSize + 8];
        memset(path, '#', sizeof path);
        EXPECT_EQ(c.fits, MakeDefaultSoundPath(directory.c_str(), path, kSoundPathSize)) << c.directoryLength;
        EXPECT_EQ(whole.substr(0, kSoundPathSize - 1), std::string(path)) << c.directoryLength;
        EXPECT_EQ('#', path[kSoundPathSize]) << "nothing written past the buffer";
    }
}

TEST(SoundPath, NoBufferNoPath) {
    char path[4] = "abc";
    EXPECT_FALSE(MakeDefaultSoundPath("C:\\windows", nullptr, 10));
    EXPECT_FALSE(MakeDefaultSoundPath("C:\\windows", path, 0));
    EXPECT_STREQ("abc", path);
    EXPECT_FALSE(MakeDefaultSoundPath("C:\\windows", path, sizeof path));
    EXPECT_STREQ("C:\\", path);
}

}  // namespace
