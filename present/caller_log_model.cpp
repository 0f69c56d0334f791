#include "present/caller_log_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/erase_rows.h"

void AddCallerLogModelRow(CallerLogModel* model, const char* date, const char* time, const char* number,
                          const char* name) {
    std::string row;
    for (const char* field : {date, time, number, name}) {
        row.append(field != nullptr ? field : "");
        row.push_back('\0');
    }
    row.shrink_to_fit();
    model->rows.push_back(std::move(row));
}

CallerLogCells CallerLogModelRow(const CallerLogModel& model, size_t row) {
    if (row >= model.rows.size()) return CallerLogCells{"", "", "", ""};
    const char* date = model.rows[row].c_str();
    const char* time = date + std::strlen(date) + 1;
    const char* number = time + std::strlen(time) + 1;
    const char* name = number + std::strlen(number) + 1;
    return CallerLogCells{date, time, number, name};
}

size_t DeleteCallerLogModelRows(CallerLogModel* model, std::vector<size_t> rows) {
    return EraseListedRows(&model->rows, std::move(rows));
}

void AppendCallerLogModel(CallerLogModel* model, CallerLogModel* more) {
    if (model->rows.empty()) {
        model->rows.swap(more->rows);
        return;
    }
    for (std::string& row : more->rows) model->rows.push_back(std::move(row));
    more->rows.clear();
}
