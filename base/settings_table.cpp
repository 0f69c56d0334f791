#include "base/settings_table.h"

#include <cstring>

#include "base/text_utils.h"

bool MakeSettingName(char* out, size_t outSize, const SettingInfo& info, int port) {
    if (!info.perPort) {
        CopyText(out, outSize, info.name);
        return true;
    }
    CopyText(out, outSize, "");
    if (port < kFirstPort || port > kLastPort) return false;
    const char portName[] = {'C', 'O', 'M', static_cast<char>('0' + port), '\0'};
    CopyText(out, outSize, portName);
    AppendText(out, outSize, info.name + 2);  // behind the "%s"
    return true;
}
