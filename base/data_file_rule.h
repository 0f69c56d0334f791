// When a list the user keeps (the caller log, the phone book) may take its file's place. The file
// is the user's history: only a list that holds the whole of it may replace it, and only a file
// the list knows may go when the list is emptied.
#pragma once
#include <cstddef>

// What reading a data file at start found, and what the program made of it since. Loaded: the
// file holds what the list holds (it was read whole, or written by the program since).
enum class DataFileState { Missing, Loaded, Unreadable };

enum class DataFileSave {
    Keep,     // leave the file as it is
    Rewrite,  // write the list in its place
    Delete,   // the list is empty: the file goes
};

// loadWhole: the loader put the whole file (or its absence) into the list; false while it runs,
// when it was cut short, or when it never got as far as reading.
DataFileSave ChooseDataFileSave(DataFileState state, bool loadWhole, size_t rows);
