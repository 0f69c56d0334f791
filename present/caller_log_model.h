// The caller log as the program holds it: every call in the order it came, its number as it was
// received. Formatting a number is for the screen only, so a rewrite of the file gives back what
// was appended to it. The Caller Log page shows the model; the user-interface thread alone owns it.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct CallerLogModel {
    // One text per call: date, time, number and name, each ended by a NUL. One block per row
    // keeps a log of a million calls to its texts and a little more.
    std::vector<std::string> rows;
};

struct CallerLogCells {
    const char* date;
    const char* time;
    const char* number;
    const char* name;
};

void AddCallerLogModelRow(CallerLogModel* model, const char* date, const char* time, const char* number,
                          const char* name);
// Moves every row of more to the end of model, in order; more is left empty.
void AppendCallerLogModel(CallerLogModel* model, CallerLogModel* more);
// The row's texts, valid until the model changes; empty texts for a row that is not there.
CallerLogCells CallerLogModelRow(const CallerLogModel& model, size_t row);
// Removes the listed rows (any order; repeats and rows that are not there are ignored). Returns
// how many went: 0 means the model is as it was.
size_t DeleteCallerLogModelRows(CallerLogModel* model, std::vector<size_t> rows);
