#include "diag/program_log.h"

#include <windows.h>

#include <cstdarg>

void LogPrintf(const char* format, ...) {
    char line[1028];
    va_list args;
    va_start(args, format);
    wvsprintfA(line, format, args);
    va_end(args);
    // Until the Program Log page exists, a debugger is the only reader.
    OutputDebugStringA(line);
}
