// Number formats when the format file beside this program cannot be written: the built-in
// defaults serve meanwhile, and the file is tried again once a minute, not for every number.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/data_files.h"
#include "present/number_format.h"
#include "present/phone_number_format.h"

namespace {

std::string Format(const char* number, uint32_t now) {
    char buffer[64];
    lstrcpynA(buffer, number, sizeof buffer);
    FormatPhoneNumber(buffer, sizeof buffer, now);
    return buffer;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

TEST(PhoneNumberFormat, AnUnwritableFileLeavesTheDefaultsAndIsTriedOnceAMinute) {
    char path[MAX_PATH];
    GetProgramFilePath("cfg", path, sizeof path);
    ASSERT_NE('\0', path[0]);
    DeleteFileA(path);
    RemoveDirectoryA(path);  // left by a run that failed halfway
    ASSERT_TRUE(CreateDirectoryA(path, nullptr)) << path;  // a folder in the file's place
    const uint32_t failed = 0xFFFF0000u;  // the tick count wraps within the minute

    EXPECT_EQ("555 12 34", Format("5551234", failed));
    ASSERT_TRUE(RemoveDirectoryA(path));
    EXPECT_EQ("(555) 123 45 67", Format("5551234567", failed + 59999));
    EXPECT_FALSE(Exists(path)) << "tried again within the minute";

    EXPECT_EQ("555 12 34", Format("5551234", failed + 60000));
    ASSERT_TRUE(Exists(path)) << "not tried again after a minute";
    char written[kNumberFormatCacheSize] = {};
    DWORD length = GetPrivateProfileSectionA(kNumberFormatSection, written, sizeof written - 2, path);
    char built[kNumberFormatCacheSize];
    size_t builtSize = BuildDefaultNumberSection(built, sizeof built);
    EXPECT_EQ(std::string(built, builtSize), std::string(written, length + 1));  // the file reads as the defaults
    DeleteFileA(path);
}

}  // namespace
