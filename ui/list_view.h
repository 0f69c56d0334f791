// Report-style list views, the tables of the pages. Rows and columns are counted from 0. Each operation takes the dialog and the control's
// identifier and talks to the control with SendDlgItemMessageA, so any thread may call it (the
// control's own thread carries it out); the pages' lists are their data, and worker threads
// change them only this way.
//
// Row item data is a 32-bit value in practice; it is passed as LPARAM, the control's own width.
#pragma once
#include <windows.h>

#include <cstddef>

#include "ui/row_search.h"

// The most cell texts AddListRow takes; later ones are ignored.
inline constexpr int kMaxRowTexts = 1024;

// Inserts a left-aligned column at index with the title of a string resource (cut at 511 bytes)
// and a width of percent of the list's usable width (see ui/column_width.h). Returns the new
// column's index, -1 on failure.
int AddListColumn(HWND dialog, int id, int column, int percent, UINT titleId);

// Appends a row with item data and the cell texts from column 0 on, ended by nullptr:
//     AddListRow(page, IDC_LOG, 0, time, number, name, nullptr);
// Returns the new row's index; -1 when the list refused it or no text was given.
#if defined(__GNUC__)
__attribute__((sentinel))
#endif
int AddListRow(HWND dialog, int id, LPARAM data, ...);

// Reads one cell into buffer, cut to fit and always terminated (empty when the read fails).
// Returns true on success.
bool GetListCell(HWND dialog, int id, int row, int column, char* buffer, size_t size);

// The same two on the list control itself, the row's texts as an array. Each operation above
// looks the control up first, which under Wine asks the server every time: a loop over thousands
// of rows looks it up once and uses these.
int AppendListRow(HWND list, LPARAM data, const char* const* texts, int count);
bool ReadListCell(HWND list, int row, int column, char* buffer, size_t size);
// Writes one cell unless it already holds exactly this text (case counts), so a refresh that
// changes nothing causes no repaint or change notification. Returns nonzero on success, 1 when
// nothing needed writing; 0 for a missing text.
int SetListCell(HWND dialog, int id, int row, int column, const char* text);
bool SetListRowData(HWND dialog, int id, int row, LPARAM data);

// The first selected row after start (-1: from the top); -1 when there is none.
int GetNextSelectedRow(HWND dialog, int id, int start);
// Makes row the only selected row, gives it the focus and scrolls all of it into view. A row
// below 0 only clears the selection. Returns true when the row took the selection.
bool SelectListRow(HWND dialog, int id, int row);
// A row for the user to fill: the first row whose cells (the first 30 columns) are all empty, or
// else a new empty row at the end; selected when select is true. Returns its index, -1 when no
// row could be added.
int AddEmptyListRow(HWND dialog, int id, bool select);
// Deletes every selected row; returns how many went.
int DeleteSelectedRows(HWND dialog, int id);

// The answer to LVN_ODFINDITEM, by which an owner-data list asks its owner where the letters the
// user types lead: the row FindListRow finds among the list's rows, rowText giving each row's
// first column. Both codes are taken: Wine sends LVN_ODFINDITEMW, with a wide text, even to an
// ANSI window. -1 when no row matches, or for a search by anything but text.
LRESULT AnswerFindItem(const NMHDR* header, const RowText& rowText);
