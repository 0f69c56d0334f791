// Large type for a page's title.
#pragma once
#include <windows.h>

// The dialogs' default GUI font at twice its height and width. The caller deletes it.
HFONT CreateLargeFont();
