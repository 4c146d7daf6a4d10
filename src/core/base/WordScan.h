#pragma once
// Looking at eight bytes of a text at once for the bytes a scanner stops at.
// Each test finds a byte by the borrow that subtracting from it makes; with
// no such byte nothing borrows, so a word without one always answers no, and
// a word with one always answers yes (which of its bytes is then for the
// caller to find one at a time).
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qm {

inline constexpr uint64_t kWordOnes = 0x0101010101010101ULL;
inline constexpr uint64_t kWordHighs = 0x8080808080808080ULL;

// The eight bytes of text at pos, which the caller has checked exist.
[[nodiscard]] inline uint64_t WordAt(std::string_view text, size_t pos) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + pos, sizeof word);
    return word;
}

// A byte below n (n at most 128).
[[nodiscard]] constexpr bool WordHoldsByteBelow(uint64_t word, unsigned char n) {
    return ((word - kWordOnes * n) & ~word & kWordHighs) != 0;
}

[[nodiscard]] constexpr bool WordHoldsByte(uint64_t word, unsigned char c) {
    return WordHoldsByteBelow(word ^ (kWordOnes * c), 1);
}

// A byte of 128 or more (a byte of a multi-byte UTF-8 character).
[[nodiscard]] constexpr bool WordHoldsHighByte(uint64_t word) {
    return (word & kWordHighs) != 0;
}

} // namespace qm
