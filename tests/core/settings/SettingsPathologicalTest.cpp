// A settings file nested far deeper than the program writes it is not
// settings: it loads as a damaged file does, leaving the values as they were.
// The CTest timeout of this executable only catches a hang.
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

TEST(SettingsPathological, DeeplyNestedFileIsNotLoaded) {
    TTempDir dir;
    TProjectSettings s;
    s.ProjTitle = "kept";
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    for (const std::string& json :
         {"{\"ProjTitle\":\"new\",\"x\":" + deep + "}", "{\"ProjTitle\":" + deep + "}", deep}) {
        WriteFile(dir / "deep.json", json);
        EXPECT_FALSE(s.LoadFromFile(dir / "deep.json"));
        EXPECT_EQ(s.ProjTitle, "kept");
    }
}

} // namespace
