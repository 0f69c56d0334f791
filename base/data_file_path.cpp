#include "base/data_file_path.h"

#include <shlobj.h>

#include "base/data_files.h"
#include "base/data_folder.h"
#include "base/product.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "base/unique_handle.h"

namespace {

// folder, a backslash and name into out (MAX_PATH characters); false, out empty, when it does
// not fit.
bool JoinPath(const char* folder, const char* name, char* out) {
    CopyText(out, MAX_PATH, folder);
    AppendText(out, MAX_PATH, "\\");
    size_t length = AppendText(out, MAX_PATH, name);
    bool fits = length == static_cast<size_t>(lstrlenA(folder) + 1 + lstrlenA(name));
    if (!fits) out[0] = '\0';
    return fits;
}

bool Exists(const char* path) { return path[0] != '\0' && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Whether a new file can be made in folder: the one test that holds for every reason it may not
// (the folder's rights, a read-only medium, a policy); the read-only attribute of a folder means
// nothing on Windows. (Not GetTempFileNameA: Wine's gives a name also when it made no file.)
bool CanMakeFileIn(const char* folder) {
    char name[64];
    wsprintfA(name, "tellwire-%lu-%lu.tmp", GetCurrentProcessId(), GetTickCount());
    char probe[MAX_PATH];
    if (!JoinPath(folder, name, probe)) return false;
    OwnedHandle file(CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

// Asked once a run: the answer does not change while the program runs, and a probe file made
// and deleted beside the program at every call would only trouble virus scanners.
bool ProgramFolderWritable() {
    static const bool writable = [] {
        char program[MAX_PATH + 1];
        DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return false;
        program[length] = '\0';
        char folder[MAX_PATH];
        FolderOfPath(program, folder, sizeof folder);
        return folder[0] != '\0' && CanMakeFileIn(folder);
    }();
    return writable;
}

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '\\' || *at == '/') name = at + 1;
    }
    return name;
}

bool MakeFolder(const char* folder) {
    return CreateDirectoryA(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool GetUserDataFolder(char* folder, DWORD size, bool make) {
    char base[MAX_PATH];
    if (size > 0) folder[0] = '\0';
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) || base[0] == '\0') {
        return false;
    }
    char maker[MAX_PATH];
    char made[MAX_PATH];
    if (!JoinPath(base, kMakerName, maker) || !JoinPath(maker, kProductName, made)) return false;
    if (make && !(MakeFolder(maker) && MakeFolder(made))) return false;
    return CopyText(folder, size, made) == static_cast<size_t>(lstrlenA(made));
}

void ResolveDataFilePath(const SettingInfo* setting, const char* extension, char* buffer) {
    char stored[MAX_PATH] = "";
    if (setting != nullptr && ReadSetting(setting->name, stored, sizeof stored) != REG_SZ) stored[0] = '\0';
    char beside[MAX_PATH];
    GetProgramFilePath(extension, beside, sizeof beside);
    char userFolder[MAX_PATH];
    DataFolderFacts facts{ClassifyStoredPath(stored, beside), Exists(beside), false, false};
    if (facts.stored != StoredDataPath::Chosen) {
        facts.programFolderWritable = ProgramFolderWritable();
        facts.userFolderKnown = GetUserDataFolder(userFolder, sizeof userFolder, false);
    }
    buffer[0] = '\0';
    switch (ChooseDataFolder(facts)) {
    case DataFolder::Stored: CopyText(buffer, MAX_PATH, stored); return;
    case DataFolder::Program:
        CopyText(buffer, MAX_PATH, facts.stored == StoredDataPath::ProgramDefault ? stored : beside);
        break;
    case DataFolder::User:
        if (beside[0] == '\0' || !GetUserDataFolder(userFolder, sizeof userFolder, true) ||
            !JoinPath(userFolder, FileNameOf(beside), buffer)) {
            CopyText(buffer, MAX_PATH, beside);  // no folder to go to after all: as before
        }
        break;
    }
    if (setting != nullptr && buffer[0] != '\0' && lstrcmpA(stored, buffer) != 0) {
        WriteSetting(setting->name, buffer, lstrlenA(buffer) + 1, REG_SZ);
    }
}

void FolderOfPath(const char* path, char* folder, DWORD size) {
    const char* name = FileNameOf(path);
    size_t keep = name > path ? static_cast<size_t>(name - path) - 1 : 0;
    // A file at the root of a drive keeps its backslash: "C:" alone is the current folder there.
    if (keep == 2 && path[1] == ':') keep = 3;
    CopyTextN(folder, size, path, keep);
}
