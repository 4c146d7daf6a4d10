#pragma once
// The words an author added to the spelling dictionary, kept per user in a
// text file of one word a line. Every change reads the file again first, so
// two running programs that both add words keep each other's.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TUserDictionary {
public:
    explicit TUserDictionary(std::string fileName);

    // Reads the file; a missing file is an empty list. Raises EFileError
    // when it exists and cannot be read.
    void Load();
    // Adds the word (blanks at its ends dropped) and writes the file
    // atomically. False for a word already there or one that cannot be a
    // word (empty, holding white space or control characters, over 99
    // bytes, not UTF-8). Raises EFileError when the file cannot be written.
    bool Add(std::string_view word);
    // Sorted, without duplicates.
    [[nodiscard]] const std::vector<std::string>& Words() const { return FWords; }
    [[nodiscard]] bool Contains(std::string_view word) const;

    // Whether text can stand in the list as one word.
    [[nodiscard]] static bool IsWord(std::string_view word);

private:
    std::string FFileName;
    std::vector<std::string> FWords;
};

} // namespace qm
