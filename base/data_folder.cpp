#include "base/data_folder.h"

#include <cstring>

#include "base/compare_text.h"

DataFolder ChooseDataFolder(const DataFolderFacts& facts) {
    if (facts.stored == StoredDataPath::Chosen) return DataFolder::Stored;
    // The program's own default keeps its place while it works there. It moves only when it never
    // could have: no file was ever made beside the program, and none can be.
    if (facts.fileBesideProgram || facts.programFolderWritable) return DataFolder::Program;
    return facts.userFolderKnown ? DataFolder::User : DataFolder::Program;
}

StoredDataPath ClassifyStoredPath(const char* stored, const char* besideProgram) {
    if (stored == nullptr || stored[0] == '\0') return StoredDataPath::None;
    if (besideProgram == nullptr || besideProgram[0] == '\0') return StoredDataPath::Chosen;
    int storedLength = static_cast<int>(std::strlen(stored));
    int besideLength = static_cast<int>(std::strlen(besideProgram));
    return CompareTextNoCase(stored, storedLength, besideProgram, besideLength) == 0 ? StoredDataPath::ProgramDefault
                                                                                       : StoredDataPath::Chosen;
}
