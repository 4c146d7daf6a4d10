#pragma once
// A fresh folder per test, removed afterwards, and small file helpers.
#include <string>

namespace qm::test {

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    // The folder, without a trailing separator.
    [[nodiscard]] const std::string& Path() const { return FPath; }
    // Path joined with a relative part using '/'.
    [[nodiscard]] std::string operator/(const std::string& rel) const { return FPath + "/" + rel; }

private:
    std::string FPath;
};

void WriteFile(const std::string& path, const std::string& bytes);
[[nodiscard]] std::string ReadFile(const std::string& path);

} // namespace qm::test
