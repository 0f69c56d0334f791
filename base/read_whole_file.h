// A whole file in one local-heap block with a NUL behind it (the caller frees it with LocalFree).
#pragma once
#include <windows.h>

// Returns nullptr for a file that cannot be opened (logged with the system's reason), an empty
// file, or one that cannot be read whole. *size (optional) gets the file's size, 0 first.
char* ReadWholeFile(const char* path, DWORD* size);
