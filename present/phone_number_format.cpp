#include "present/phone_number_format.h"

#include <windows.h>

#include <mutex>

#include "app/data_files.h"
#include "present/number_format.h"

namespace {

std::mutex s_cacheLock;  // port monitors, the network agent and the caller log format at once
char* s_cache = nullptr;  // the section as read at the first use; kept for the whole run

DWORD ReadSection(const char* path, char* cache) {
    ZeroMemory(cache, kNumberFormatCacheSize);
    return GetPrivateProfileSectionA(kNumberFormatSection, cache, kNumberFormatCacheSize - 2, path);
}

void WriteDefaults(const char* path) {
    char key[32];
    int length = kShortestDefaultKey;
    for (const char* pattern : kDefaultNumberTemplates) {
        for (int i = 0; i < length; ++i) key[i] = 'x';
        key[length++] = '\0';
        WritePrivateProfileStringA(kNumberFormatSection, key, pattern, path);
    }
}

const char* Section() {
    std::lock_guard<std::mutex> hold(s_cacheLock);
    if (s_cache != nullptr) return s_cache;
    char path[MAX_PATH];
    GetProgramFilePath("cfg", path, sizeof path);
    if (path[0] == '\0') return nullptr;  // the next call tries again
    char* cache = static_cast<char*>(LocalAlloc(LPTR, kNumberFormatCacheSize));
    if (cache == nullptr) return nullptr;
    if (ReadSection(path, cache) < 2 || cache[0] == '\0') {
        WriteDefaults(path);
        if (ReadSection(path, cache) < 2 || cache[0] == '\0') {
            LocalFree(cache);
            return nullptr;
        }
    }
    s_cache = cache;
    return s_cache;
}

}  // namespace

void FormatPhoneNumber(char* number, size_t capacity) {
    const char* section = Section();
    if (section != nullptr) FormatNumberBySection(section, kNumberFormatCacheSize, number, capacity);
}
