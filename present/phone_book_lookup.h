// The phone book that names callers: one model for the whole program. The Phone Book page fills
// it, edits it and is its only writer; the port monitors, the network agent and the popup look
// callers up in it from their own threads without waiting for the page's thread.
#pragma once
#include <cstddef>
#include <mutex>
#include <shared_mutex>

#include "present/phone_book_model.h"

// The writer changes g_phoneBook only while it holds the lock exclusively (LockPhoneBookForChange)
// and may read it without the lock; every other thread goes through LookupPhoneBook.
extern PhoneBookModel g_phoneBook;
std::unique_lock<std::shared_mutex> LockPhoneBookForChange();

// The name of the first contact, from the top of the list, one of whose numbers matches number
// (see TailMatch): copied into name (at most 199 characters, cut to nameSize) and true. False,
// name untouched, when none matches or the book is empty. Any thread may call it.
bool LookupPhoneBook(const char* number, char* name, size_t nameSize);
