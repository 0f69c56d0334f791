#include "ui/home_page.h"

#include <shellapi.h>

#ifndef TELLWIRE_HOME_URL
#define TELLWIRE_HOME_URL "https://tellwire.quillex.example/"
#endif

const char kHomePageAddress[] = TELLWIRE_HOME_URL;

void OpenHomePage(HWND owner) {
    // Whether the shell found a browser is not checked: there is nothing better to offer.
    ShellExecuteA(owner, "open", kHomePageAddress, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
