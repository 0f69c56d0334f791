#include "base/data_file_rule.h"

DataFileSave ChooseDataFileSave(DataFileState state, bool loadWhole, size_t rows) {
    // A file that was there but could not be read, or a list that lacks part of the file: the
    // list is not the history, and writing it would erase what it lacks.
    if (state == DataFileState::Unreadable || !loadWhole) return DataFileSave::Keep;
    if (rows > 0) return DataFileSave::Rewrite;
    // A file the list does not know (one that came later, a share that came up) is not the
    // list's to delete.
    return state == DataFileState::Loaded ? DataFileSave::Delete : DataFileSave::Keep;
}
