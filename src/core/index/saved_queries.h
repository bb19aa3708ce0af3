// The saved queries as the program uses them: the recent list (most
// recently run first, 20 at most) and the Run Saved Query menu built from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/records.h"

namespace qb {

struct QueryMenuItem {
    enum Kind { Query, NoQueries, Separator, MoreQueries };
    Kind kind = Query;
    std::string text;  // query names as stored (the file's code page)
    bool enabled = true;
    int32_t queryIndex = -1;  // into the table, for Query items
};

class SavedQueryList {
public:
    static constexpr size_t kMaxRecent = 20;

    SavedQueryList() = default;
    explicit SavedQueryList(const SavedQueries& q);

    const std::vector<SavedQuery>& Table() const { return queries_.queries; }
    // The recent list as stored, entries outside the table left out.
    std::vector<int32_t> Recent() const;
    const SavedQuery* At(int32_t index) const;
    // The first query of that name, ignoring ASCII case; -1 if none.
    int32_t FindByName(const std::string& name) const;

    void MoveToFront(int32_t index);
    std::vector<QueryMenuItem> Menu() const;

private:
    SavedQueries queries_;
};

}  // namespace qb
