// The system's file chooser, for a file to read (it must exist) or to write (the user is asked
// before one is overwritten).
#pragma once
#include <windows.h>

// filters: pairs of a name and a pattern, ended by an empty name; the first is chosen. path
// (size bytes) starts empty and gets the full path. *type (optional) gets the filter the user
// chose, from 1. The program's current folder stays where it was: nothing of the program depends
// on where the user last browsed. True when the user chose a file.
bool ChooseFileName(HWND owner, bool save, const char* filters, char* path, DWORD size, DWORD* type = nullptr);
