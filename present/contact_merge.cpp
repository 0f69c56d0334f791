#include "present/contact_merge.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

// Names hold no NUL, so the NUL keeps name and numbers apart.
std::string KeyOf(const PhoneBookContact& contact) { return contact.name + '\0' + contact.numbers; }

}  // namespace

ImportCounts MergeContacts(PhoneBookModel* model, const ContactFile& file, ImportUndo* undo) {
    ImportCounts counts{0, 0, file.refused};
    std::unordered_set<std::string> known;
    known.reserve(model->contacts.size() + file.contacts.size());
    for (const PhoneBookContact& contact : model->contacts) known.insert(KeyOf(contact));
    undo->added.clear();
    for (const PhoneBookContact& contact : file.contacts) {
        if (!known.insert(KeyOf(contact)).second) {
            ++counts.skipped;
            continue;
        }
        model->contacts.push_back(contact);
        undo->added.push_back(contact);
        ++counts.added;
    }
    return counts;
}

size_t UndoImport(PhoneBookModel* model, ImportUndo* undo) {
    std::unordered_map<std::string, size_t> left;
    for (const PhoneBookContact& contact : undo->added) ++left[KeyOf(contact)];
    undo->added.clear();
    std::vector<size_t> rows;
    for (size_t row = model->contacts.size(); row-- > 0 && !left.empty();) {
        auto found = left.find(KeyOf(model->contacts[row]));
        if (found == left.end()) continue;
        rows.push_back(row);
        if (--found->second == 0) left.erase(found);
    }
    return DeletePhoneBookContacts(model, rows);
}
