#include "present/phone_book_lookup.h"

PhoneBookModel g_phoneBook;

namespace {
std::shared_mutex s_phoneBookLock;
// The book's index, made by the first lookup after a change. Lookups hold the book's lock shared
// and this one to make or read the index; a writer marks it stale when it takes the book.
std::mutex s_indexLock;
PhoneBookIndex s_index;    // under s_indexLock
bool s_indexStale = true;  // under s_indexLock
}  // namespace

std::unique_lock<std::shared_mutex> LockPhoneBookForChange() {
    std::unique_lock<std::shared_mutex> hold(s_phoneBookLock);
    std::lock_guard<std::mutex> index(s_indexLock);
    s_indexStale = true;
    return hold;
}

bool LookupPhoneBook(const char* number, char* name, size_t nameSize) {
    std::shared_lock<std::shared_mutex> hold(s_phoneBookLock);
    std::lock_guard<std::mutex> index(s_indexLock);
    if (s_indexStale) {
        s_index = IndexPhoneBook(g_phoneBook);
        s_indexStale = false;
    }
    return LookUpPhoneBookName(g_phoneBook, s_index, number, name, nameSize);
}
