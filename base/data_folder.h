// Which folder holds a data file (the caller log, the phone book, the number formats) when the
// user has named none. Beside the program, as always, wherever the program may write there or the
// file is there already: a copy kept in a folder of its own carries its files with it. A program
// in a folder the user may not write (Program Files for a normal user; Windows does not redirect
// a 64-bit program with a manifest) keeps them in the user's application data folder instead,
// where every write succeeds: otherwise no call would ever be logged.
#pragma once
#include <cstddef>

enum class StoredDataPath {
    None,            // nothing stored (a first start), or the file has no setting of its own
    ProgramDefault,  // the path the program stored for itself: the file beside the program
    Chosen,          // any other path: the user's choice, or a folder chosen at an earlier start
};

enum class DataFolder {
    Stored,   // the stored path as it stands
    Program,  // beside the program
    User,     // the user's application data folder
};

struct DataFolderFacts {
    StoredDataPath stored;
    bool fileBesideProgram;      // the file is already there
    bool programFolderWritable;  // a new file can be made beside the program
    bool userFolderKnown;        // the system names the user's application data folder
};

DataFolder ChooseDataFolder(const DataFolderFacts& facts);

// What a stored path is, against the path beside the program (compared without regard to case,
// as Windows compares file names). A missing or empty stored text is none.
StoredDataPath ClassifyStoredPath(const char* stored, const char* besideProgram);
