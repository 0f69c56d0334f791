// The user's data files (caller log, phone book): where they are, and how they are rewritten
// without ever leaving a half-written file behind.
#pragma once
#include <windows.h>

#include <cstddef>

#include "base/data_file_rule.h"

// The program's own path with another extension; empty when it cannot be made.
void GetProgramFilePath(const char* extension, char* buffer, DWORD size);

// What a read that failed found: the file missing, or there but not readable (held by another
// program, a read error), which must never be rewritten from the list.
DataFileState StateAfterFailedRead(const char* path);

// Writes the file anew from rows lines, a block at a time: line puts row's line (fewer than
// lineSize characters) at out and returns its length, 0 for a row that is not kept. The lines go
// to "path.new" beside the file, which then takes the file's place in one step, so a crash or
// power cut leaves the old file or the new one, whole. A failure is logged ("Could not save
// <what>: <reason>"), shown to the user once a run, and leaves the old file whole.
using DataFileLine = size_t (*)(size_t row, char* out, size_t lineSize);
bool RewriteDataFile(const char* path, const char* what, size_t rows, size_t lineSize, DataFileLine line);

// Appends text to the file (created when missing), opening and closing it around the one write,
// so every line is on disk as soon as the call is. A failure is shown to the user once a run
// (base/file_write_warning.h); the call is still shown. True when the whole text was written.
bool AppendTextToFile(const char* path, const char* text);
