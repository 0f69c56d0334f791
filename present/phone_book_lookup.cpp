#include "present/phone_book_lookup.h"

PhoneBookModel g_phoneBook;

namespace {
std::shared_mutex s_phoneBookLock;
}  // namespace

std::unique_lock<std::shared_mutex> LockPhoneBookForChange() {
    return std::unique_lock<std::shared_mutex>(s_phoneBookLock);
}

bool LookupPhoneBook(const char* number, char* name, size_t nameSize) {
    std::shared_lock<std::shared_mutex> hold(s_phoneBookLock);
    return LookUpPhoneBookName(g_phoneBook, number, name, nameSize);
}
