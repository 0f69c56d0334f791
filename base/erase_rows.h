// Taking listed rows out of a model's rows, the order of the others kept.
#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

// Removes the rows whose places are listed (any order; repeats and places that are not there are
// ignored), moving the others up. Returns how many went: 0 means the rows are as they were.
template <typename Row>
size_t EraseListedRows(std::vector<Row>* rows, std::vector<size_t> listed) {
    std::sort(listed.begin(), listed.end());
    size_t before = rows->size();
    size_t kept = 0;
    size_t next = 0;  // the next listed place, in listed
    for (size_t row = 0; row < before; ++row) {
        while (next < listed.size() && listed[next] < row) ++next;
        if (next < listed.size() && listed[next] == row) continue;
        if (kept != row) (*rows)[kept] = std::move((*rows)[row]);
        ++kept;
    }
    rows->resize(kept);
    return before - kept;
}
