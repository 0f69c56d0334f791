// The maker's home page, opened in the user's browser.
#pragma once
#include <windows.h>

// The address is a setting of the build (TELLWIRE_HOME_URL).
extern const char kHomePageAddress[];

void OpenHomePage(HWND owner);
