// Where an executable finds its program files: beside it, or in
// share/quillmate beside its bin folder (the build tree and an installation),
// and which version they are.
#include "platform/ProgramFiles.h"

#include "TempDir.h"
#include "base/PathUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace qm;
using namespace qm::platform;
namespace fs = std::filesystem;

namespace {

void Touch(const std::string& file, const std::string& text = "") {
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file) << text;
}

} // namespace

TEST(ProgramFiles, FoundBesideTheExecutableOrInShareBesideBin) {
    struct TCase {
        const char* Name;
        const char* AppFilesIn; // folder under the temp dir that gets AppFiles, or nullptr
        const char* Exe;
        const char* Expected; // under the temp dir, or "" for not found
    };
    const TCase cases[] = {
        {"installed", "usr/share/quillmate", "usr/bin/quillmate-cli", "usr/share/quillmate"},
        {"beside the executable", "app", "app/quillmate-cli", "app"},
        {"nothing there", nullptr, "usr/bin/quillmate-cli", ""},
        {"share without AppFiles is not it", nullptr, "opt/bin/quillmate-cli", ""},
    };
    for (const TCase& c : cases) {
        qm::test::TTempDir dir;
        if (c.AppFilesIn)
            fs::create_directories((dir / c.AppFilesIn) + "/AppFiles");
        fs::create_directories(dir / "opt/share/quillmate");
        const std::string expected = *c.Expected ? (dir / c.Expected) : "";
        EXPECT_EQ(FindProgramDataDir((dir / c.Exe)), expected) << c.Name;
    }
    EXPECT_EQ(FindProgramDataDir(""), "");
}

TEST(ProgramFiles, VersionIsTheFirstLineOfTheirVersionFile) {
    qm::test::TTempDir dir;
    const std::string data = (dir / "usr/share/quillmate");
    fs::create_directories(data + "/AppFiles");
    EXPECT_EQ(ProgramFilesVersion(data), "");
    EXPECT_EQ(DescribeProgramFiles((dir / "usr/bin/quillmate-cli")), "unknown version in " + data);

    Touch(data + "/VERSION", "2.0.0\r\nanything after\n");
    EXPECT_EQ(ProgramFilesVersion(data), "2.0.0");
    EXPECT_EQ(DescribeProgramFiles((dir / "usr/bin/quillmate-cli")), "2.0.0 in " + data);
    EXPECT_EQ(DescribeProgramFiles((dir / "elsewhere/quillmate-cli")), "not found");
    EXPECT_EQ(ProgramFilesVersion(""), "");
}
