// Contacts read from another program's file joining the phone book: each goes to the end of the
// book unless a contact with the same name and the same numbers is there already, and the whole
// import can be taken back in one step.
#pragma once
#include <cstddef>
#include <vector>

#include "present/contact_record.h"
#include "present/phone_book_model.h"

struct ImportCounts {
    size_t added;
    size_t skipped;  // equal to a contact already in the book (or to one added before it)
    size_t refused;  // no name or no number in the file
};

// What one import added, for taking it back.
struct ImportUndo {
    std::vector<PhoneBookContact> added;
};

// Adds the file's contacts to model and records them in undo (which is replaced).
ImportCounts MergeContacts(PhoneBookModel* model, const ContactFile& file, ImportUndo* undo);

// Takes the recorded import back: removes, from the bottom of the book up, one contact equal to
// each one the import added, wherever sorting has moved it. A contact the user has changed since
// is theirs now and stays. Returns how many went; undo is emptied.
size_t UndoImport(PhoneBookModel* model, ImportUndo* undo);
