// The system's own text for an error code, the one way every log line and message box gets it.
#pragma once
#include <windows.h>

inline constexpr DWORD kLastError = static_cast<DWORD>(-1);  // take GetLastError() of the caller

// Fills buffer with the message text of code, trailing CR and LF cut; empty for code 0, for a
// buffer of fewer than 8 bytes, or when the system knows no text. Returns buffer.
char* ErrorText(DWORD code, char* buffer, DWORD size);
