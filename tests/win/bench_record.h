// What the bench's simulated modem on COM1 recorded, read from the Linux side's file.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

// Every event of one kind ("cmd", "open", "close", ...), with its text, in order.
inline std::vector<std::string> RecordedEvents(const char* kind) {
    std::vector<std::string> events;
    const char* bench = getenv("TW_BENCH");
    if (bench == nullptr) return events;
    // Not "com1.*": such a name is the device COM1 to Windows.
    std::string path = std::string("Z:") + bench + "/modem1.rec";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return events;
    std::string text(1 << 20, '\0');
    DWORD got = 0;
    ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        size_t first = line.find(' ');
        if (first == std::string::npos) continue;
        size_t second = line.find(' ', first + 1);
        std::string lineKind = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
        if (lineKind == kind) events.push_back(second == std::string::npos ? "" : line.substr(second + 1));
    }
    return events;
}

inline std::string RecordedCommands() {
    std::string joined;
    for (const std::string& command : RecordedEvents("cmd")) joined += " cmd " + command + "\n";
    return joined;
}
