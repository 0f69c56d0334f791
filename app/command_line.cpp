#include "app/command_line.h"

#include "base/text_utils.h"

StartSwitch ChooseStartSwitch(const char* arguments) {
    if (arguments == nullptr || arguments[0] == '\0') return StartSwitch::None;
    if (FindTextNoCase(arguments, "/HOMEURL") != nullptr) return StartSwitch::HomeUrl;
    if (FindTextNoCase(arguments, "/UNINSTALL") != nullptr) return StartSwitch::Uninstall;
    return StartSwitch::None;
}
