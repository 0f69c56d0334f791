// Where the data files are on this computer: the folder rule (base/data_folder.h) given what the
// system says about the program's folder and the user's application data folder.
#pragma once
#include <windows.h>

#include "base/settings_table.h"

// The user's folder for the program's files, %APPDATA%\Quillex\Tellwire; made when make is set.
// False, with folder empty, when the system names no such folder or it cannot be made.
bool GetUserDataFolder(char* folder, DWORD size, bool make);

// The path of a data file: the path stored in setting (nullptr for a file without a setting, as
// the number formats), else the program's file name with extension in the folder the rule
// chooses; a path the program chose is stored in setting, as it always was, so that later starts
// and other copies find the same file. buffer holds MAX_PATH characters; empty when no path can
// be made.
void ResolveDataFilePath(const SettingInfo* setting, const char* extension, char* buffer);

// The folder part of path (without the last backslash), for showing where the files are.
void FolderOfPath(const char* path, char* folder, DWORD size);
