// Project files nested far deeper than the program writes them: the load
// fails with the error of a damaged file, naming it, instead of running out of
// stack. The CTest timeout of this executable only catches a hang.
#include "base/Error.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

std::string DeepArrays(size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

TEST(ModelPathological, DeeplyNestedFilesFailTheLoadNamingTheFile) {
    struct Case {
        const char* file;
        std::string content;
    };
    const Case cases[] = {
        {"Deep.hff", "{\"title\":\"t\",\"root\":" + DeepArrays(120'000) + "}"},
        {"Deep/project.json", "{\"title\":" + DeepArrays(100'000) + "}"},
        {"Deep/meta/topics.json", "{\"rootTopicIds\":" + DeepArrays(100'000) + "}"},
        {"Deep/meta/topics.json",
         "{\"topics\":[{\"id\":\"A\",\"title\":" + DeepArrays(100'000) + "}]}"},
    };
    for (const Case& c : cases) {
        TTempDir dir;
        WriteFile(dir / "Deep.hff", R"({"title":"t","root":""})");
        WriteFile(dir / "Deep/project.json", R"({"title":"t"})");
        WriteFile(dir / c.file, c.content);
        try {
            const TProjectFileInfo info = ReadProjectFile(dir / "Deep.hff");
            TDocProject project;
            LoadProjectModel(info.Folder + "/", project);
            ADD_FAILURE() << c.file << " loaded";
        } catch (const EJsonError& e) {
            EXPECT_NE(std::string(e.what()).find(dir / c.file), std::string::npos)
                << c.file << ": " << e.what();
        }
    }
}

} // namespace
