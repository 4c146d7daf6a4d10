#pragma once
// Byte tests shared by the scans that stand in for regular expressions, with
// the expressions' meaning.
#include <cstddef>
#include <string_view>

namespace qm::scan {

// \s without Unicode properties: the six ASCII spaces.
inline bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// text holds `lower` at `at`, ignoring case. Only for letters without case
// partners outside ASCII ("k" and "s" have some), where that is a byte test.
inline bool EqualsLowerAt(std::string_view text, size_t at, std::string_view lower) {
    if (at + lower.size() > text.size())
        return false;
    for (size_t i = 0; i < lower.size(); ++i)
        if ((text[at + i] | 0x20) != lower[i])
            return false;
    return true;
}

} // namespace qm::scan
