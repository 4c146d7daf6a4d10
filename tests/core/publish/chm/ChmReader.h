#pragma once
// Reads a compiled help file back with chmlib, the way a viewer would see it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

namespace qm::test {

class TChmReader {
public:
    explicit TChmReader(const std::string& chmFile); // throws when chmlib cannot open it
    ~TChmReader();
    TChmReader(const TChmReader&) = delete;
    TChmReader& operator=(const TChmReader&) = delete;

    // The bytes of one stored file ("/toc.hhc"), or nothing when it is missing.
    [[nodiscard]] std::optional<std::string> File(const std::string& path) const;

    // From the #SYSTEM file: the locale id (record 4) and the title (record 3).
    [[nodiscard]] uint32_t Language() const;
    [[nodiscard]] std::string Title() const;

    // The titles of the topic table (#TOPICS, their text in #STRINGS), as
    // stored bytes, leaving out topics without a title.
    [[nodiscard]] std::vector<std::string> TopicTitles() const;

private:
    [[nodiscard]] std::optional<std::string> SystemRecord(uint16_t code) const;
    ::chmFile* FFile = nullptr;
};

} // namespace qm::test
