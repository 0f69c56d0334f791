// Import and export of contacts on the Phone Book page. Import (its button, Ctrl+I) asks for a
// CSV or vCard file of another address book, reads it on a thread of its own, so the page goes on
// answering, and adds its contacts to the phone book on the page's thread, under the book's lock;
// a message tells how many were added, skipped and refused. "Undo import" (or Ctrl+Z) takes the
// last import back while the page stays open. Export writes the phone book as CSV or vCard 3.0,
// as the file chooser's type says (or the extension typed with the name, .csv or .vcf).
#pragma once
#include <windows.h>

// Posted by the reading thread to the page when it has read the chosen file.
inline constexpr UINT MSG_CONTACTS_READ = WM_APP + 3;

// At the page's creation and destruction (the latter waits for a read still running).
void AttachContactTransfer(HWND page);
void DetachContactTransfer(HWND page);

// Reads path on a thread of its own, as Import does with the file the user chose; a message
// tells how it went. Nothing happens while a read runs or before the phone book is loaded.
void ImportContactsFrom(HWND page, const char* path);

// The page's WM_COMMAND: true for the buttons (and accelerators) of import and export. A page
// that is hidden or a main window that closes (CMD_PAGE_ACTIVATE 0, CMD_PAGE_SAVE) forgets the
// import it could take back; these go on to the page (false).
bool OnContactTransferCommand(HWND page, WPARAM wParam, LPARAM lParam);
void OnContactsRead(HWND page);

// For the message loop: Ctrl+I and Ctrl+Z for a shown Phone Book page; Ctrl+Z in an edit field
// stays the field's own. True when the key was taken.
bool TranslateContactKeys(const MSG* message);
