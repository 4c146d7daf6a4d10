#pragma once
// The reusable content as the dialog's grids hold it: rows of two texts per
// kind, with empty rows to type new entries into.
#include "content/ReusableContent.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct TContentRow {
    std::string Name;
    std::string Value; // a variable's value, a snippet's HTML, a condition's word
};

struct TContentRows {
    std::vector<TContentRow> Variables;
    std::vector<TContentRow> Snippets;
    std::vector<TContentRow> Conditions;
};

// Rows of a grid for this many entries, the header row included: always at
// least 11 empty rows to type into and at least 15 entry rows.
[[nodiscard]] int ReusableGridRowCount(std::size_t entries);

// A condition's Enabled cell: "true", "yes", "1" or "on", trimmed and in any case.
[[nodiscard]] bool IsEnabledWord(std::string_view text);

// The store as rows; conditions as "true" or "false".
[[nodiscard]] TContentRows RowsFromContent(const TReusableProjectContent& content);
// Rows in screen order; a row with a blank name is dropped, names are
// trimmed, values kept exactly as typed.
[[nodiscard]] TReusableProjectContent ContentFromRows(const TContentRows& rows);

} // namespace qm
