// An owner-data list of rows with two texts each, edited through two fields below it: the Phone
// Book and the Blocked Numbers pages. The page says where its rows are (PairRows); the editor
// shows the cells, keeps the fields on the one selected row, writes what is typed into the rows at
// once, adds and deletes rows (Insert, Delete), finds rows by the first column as the user types,
// and marks the page's data file changed. Other threads read the rows under the page's lock; the
// page's thread alone changes them, holding that lock.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <mutex>
#include <shared_mutex>
#include <vector>

struct PairRows {
    int listId;
    int editIds[2];   // the fields of the two columns
    int labelIds[2];  // their labels
    int addId;        // the Add button
    // Page-private commands the editor posts to the page and handles in OnPairListCommand.
    int checkCommand;
    int focusCommand;
    std::unique_lock<std::shared_mutex> (*lock)();
    size_t (*count)();
    const char* (*cell)(size_t row, int column);
    // Under the lock. set: true when the row's text changed; addEmpty: an empty row to fill
    // (reused or added); remove: how many of the rows went.
    bool (*set)(size_t row, int column, const char* typed);
    size_t (*addEmpty)();
    size_t (*remove)(std::vector<size_t> rows);
};

struct PairListEditor {
    const PairRows* rows;
    int shownFirst;  // the first selected row and how many are selected, as the fields show them
    int shownCount;
    bool checkPending;    // a selection check is posted and not yet carried out
    bool fillingEditors;  // the fields' change notifications come from the editor itself
};

// At the page's creation, after its columns are made.
void StartPairListEditor(PairListEditor* editor, HWND page);
// The list follows the rows' count; the rows it shows keep their place.
void ShowPairRowCount(const PairListEditor& editor, HWND page);
// After the rows changed under the list (a load, an import): the fields follow the selection.
void RequestPairSelectionCheck(PairListEditor* editor, HWND page);
// Selects an empty row (reused or added) and puts the keyboard focus into the first field.
void AddPairRow(PairListEditor* editor, HWND page);
// The rows changed wholesale (an import, a sort): the list is drawn again, the selection cleared.
void ShowPairRowsChanged(PairListEditor* editor, HWND page);

// WM_COMMAND and WM_NOTIFY: true (and *result for a notification) when the editor took it.
bool OnPairListCommand(PairListEditor* editor, HWND page, int id, int code);
bool OnPairListNotify(PairListEditor* editor, HWND page, NMHDR* header, LRESULT* result);
