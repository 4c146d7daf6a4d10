#include "PdfTestSupport.h"

#include "base/PathUtils.h"
#include "model/Storage.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace qm::test {

std::string PdfFixtureFolder(const std::string& name) {
    return QUILLMATE_SOURCE_DIR "/tests/core/publish/pdf/data/" + name + "/";
}

void LoadPdfFixture(const std::string& name, TDocProject& project) {
    LoadProjectModel(PdfFixtureFolder(name), project);
}

void ExpectMatchesGolden(const std::string& actual, const std::string& goldenName) {
    const std::string golden = QUILLMATE_SOURCE_DIR "/tests/core/publish/pdf/data/" + goldenName;
    if (actual == ReadFile(golden))
        return;
    const std::string written = QUILLMATE_BUILD_DIR "/tests/core/publish/pdf/actual-" + goldenName;
    WriteFile(written, actual);
    ADD_FAILURE() << goldenName << " differs; see: diff -u " << golden << " " << written;
}

TTopic& AddPdfTopic(TDocProject& project, const std::string& id, const std::string& title,
                    const std::string& parent) {
    auto t = std::make_unique<TTopic>();
    t->ID = id;
    t->Title = title;
    t->ParentID = parent;
    TTopic& added = project.Topics.Add(std::move(t));
    if (parent.empty())
        project.RootTopicIDs.push_back(id);
    else
        project.GetTopic(parent).Children.push_back(id);
    return added;
}

std::vector<size_t> FindInOrder(const std::string& hay, const std::vector<std::string>& needles) {
    std::vector<size_t> found;
    size_t from = 0;
    for (const std::string& n : needles) {
        const size_t at = from == std::string::npos ? std::string::npos : hay.find(n, from);
        found.push_back(at);
        from = at == std::string::npos ? at : at + n.size();
    }
    return found;
}

TScopedEnv::TScopedEnv(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name))
        FOld = old;
    if (value != nullptr)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

TScopedEnv::~TScopedEnv() {
    if (FOld)
        ::setenv(FName, FOld->c_str(), 1);
    else
        ::unsetenv(FName);
}

} // namespace qm::test
