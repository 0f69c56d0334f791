// Report-style list views, the tables of the pages: owner-data views whose rows live in the
// pages' models. Rows and columns are counted from 0. Each operation takes the dialog and the
// control's identifier.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "ui/row_search.h"

// Inserts a left-aligned column at index with the title of a string resource (cut at 511 bytes)
// and a width of percent of the list's usable width (see ui/column_width.h). Returns the new
// column's index, -1 on failure.
int AddListColumn(HWND dialog, int id, int column, int percent, UINT titleId);

// Has the model move its rows (reorder returns moved, moved[old row] = its new row) and carries
// the selection and focus, which the control keeps by row, to where their rows went.
void ReorderListRows(HWND list, const std::function<std::vector<size_t>()>& reorder);
// Every selected row of the list, from the top.
std::vector<size_t> SelectedListRows(HWND list);
// The first selected row after start (-1: from the top); -1 when there is none.
int GetNextSelectedRow(HWND dialog, int id, int start);
// Makes row the only selected row, gives it the focus and scrolls all of it into view. A row
// below 0 only clears the selection. Returns true when the row took the selection.
bool SelectListRow(HWND dialog, int id, int row);
// The answer to LVN_ODFINDITEM, by which an owner-data list asks its owner where the letters the
// user types lead: the row FindListRow finds among the list's rows, rowText giving each row's
// first column. Both codes are taken: Wine sends LVN_ODFINDITEMW, with a wide text, even to an
// ANSI window. -1 when no row matches, or for a search by anything but text.
LRESULT AnswerFindItem(const NMHDR* header, const RowText& rowText);
