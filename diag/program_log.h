// The program log: diagnostic lines from any thread.
#pragma once

// Formats one line (wsprintfA rules, at most 1024 characters) and adds it to the program log.
// The format must be a literal; received text goes in as an argument, never as the format.
void LogPrintf(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));
