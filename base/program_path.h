// Files that live beside the program: the caller log, the phone book, the number formats and the
// help file are named after the program's own file with another extension.
#pragma once
#include <cstddef>

// Replaces the text after the last "." of path with extension ("C:\Tellwire\tellwire.exe" and
// "log" give "C:\Tellwire\tellwire.log"). The "." must stand at index 2 or later; otherwise, or
// when the result does not fit, out is empty and the result false.
bool ReplaceExtension(const char* path, const char* extension, char* out, size_t outSize);

// Whether two paths end in the same file name, without regard to case and whatever the folders
// before it ("C:\Tellwire\tellwire.exe" and "Z:\build\TELLWIRE.EXE" do). An empty name matches
// nothing.
bool SameFileName(const char* a, const char* b);
