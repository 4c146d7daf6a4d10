#pragma once
// Fixture projects and golden files for the PDF tests.
#include "model/DocModel.h"

#include <optional>
#include <string>
#include <vector>

namespace qm::test {

// The folder of a fixture project under data/, with a trailing separator.
[[nodiscard]] std::string PdfFixtureFolder(const std::string& name);
void LoadPdfFixture(const std::string& name, TDocProject& project);

// Expects `actual` to equal the bytes of data/<goldenName>. On a difference
// the actual text is written to the build folder and the failure message
// gives the diff command that shows it.
void ExpectMatchesGolden(const std::string& actual, const std::string& goldenName);

// Adds a topic under parent (a root when parent is empty) to a project
// built in a test.
TTopic& AddPdfTopic(TDocProject& project, const std::string& id, const std::string& title,
                    const std::string& parent = "");

// The positions of each needle in hay, searched one after the other; npos
// for one that does not follow the one before.
[[nodiscard]] std::vector<size_t> FindInOrder(const std::string& hay,
                                              const std::vector<std::string>& needles);

// Sets an environment variable (unsets it for nullptr) for the life of the
// object, then restores what was there.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value);
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* FName;
    std::optional<std::string> FOld;
};

} // namespace qm::test
