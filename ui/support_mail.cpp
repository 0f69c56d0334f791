#include "ui/support_mail.h"

#include <shellapi.h>

#include "base/product.h"

void OpenSupportMail(HWND owner) {
    // wsprintfA writes at most 1024 bytes; the address is far shorter.
    char address[1024];
    wsprintfA(address, "mailto:%s?subject=%s%%20v.%s", kSupportAddress, kProductName, kProductVersion);
    ShellExecuteA(owner, "open", address, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
