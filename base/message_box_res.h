// A message box whose text and caption come from the string table.
#pragma once
#include <windows.h>

int MessageBoxRes(HWND owner, UINT textId, UINT captionId, UINT style);
