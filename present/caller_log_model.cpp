#include "present/caller_log_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

void AppendField(std::string* row, const char* text) {
    row->append(text != nullptr ? text : "");
    row->push_back('\0');
}

}  // namespace

void AddCallerLogModelRow(CallerLogModel* model, const char* date, const char* time, const char* number,
                          const char* name) {
    std::string row;
    AppendField(&row, date);
    AppendField(&row, time);
    AppendField(&row, number);
    AppendField(&row, name);
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
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    size_t before = model->rows.size();
    size_t kept = 0;
    size_t next = 0;  // the next row to delete, in rows
    for (size_t row = 0; row < before; ++row) {
        while (next < rows.size() && rows[next] < row) ++next;
        if (next < rows.size() && rows[next] == row) continue;
        if (kept != row) model->rows[kept] = std::move(model->rows[row]);
        ++kept;
    }
    model->rows.resize(kept);
    return before - kept;
}

void AppendCallerLogModel(CallerLogModel* model, CallerLogModel* more) {
    if (model->rows.empty()) {
        model->rows.swap(more->rows);
        return;
    }
    for (std::string& row : more->rows) model->rows.push_back(std::move(row));
    more->rows.clear();
}
