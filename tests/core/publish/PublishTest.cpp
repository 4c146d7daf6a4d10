// The one call shape of the three publishers, run with the real tools
// (chmcmd for CHM, chromium for PDF) on a copy of the sample project.
#include "publish/Publish.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::TTempDir;

namespace {

struct TFormatCase {
    TPublishFormat Format;
    const char* Name;
    const char* OutputFile;
};

const TFormatCase kFormats[] = {
    {TPublishFormat::WebHelp, "webhelp", "index.html"},
    {TPublishFormat::Chm, "chm", "help.chm"},
    {TPublishFormat::Pdf, "pdf", "manual.pdf"},
};

struct PublishFixture : ::testing::Test {
    TTempDir dir;
    TDocProject project;

    PublishFixture() {
        fs::copy(QUILLMATE_SOURCE_DIR "/examples/sample", dir.Path(), fs::copy_options::recursive);
        const TProjectFileInfo info = ReadProjectFile(dir / "Sample.hff");
        LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    }

    [[nodiscard]] static TPublishOptions Options() {
        TPublishOptions options;
        options.ProgramDataDir = QUILLMATE_DATA_DIR;
        return options;
    }
};

} // namespace

TEST_F(PublishFixture, EachFormatNamesItsFileInsideItsOutputFolder) {
    for (const TFormatCase& c : kFormats) {
        SCOPED_TRACE(c.Name);
        std::pair<size_t, size_t> lastProgress;
        TPublishOptions options = Options();
        options.Progress = [&](size_t done, size_t total) {
            lastProgress = {std::max(lastProgress.first, done), total};
        };
        const TPublishResult r = Publish(c.Format, project, options);
        // No folder given: build/<name> under the project's data folder.
        EXPECT_EQ(r.OutDir,
                  fs::path(project.RootPath + "build/" + c.Name).lexically_normal().string());
        EXPECT_EQ(r.OutputFile, r.OutDir + "/" + c.OutputFile);
        ASSERT_TRUE(fs::is_regular_file(r.OutputFile));
        EXPECT_GT(fs::file_size(r.OutputFile), 0u);
        EXPECT_EQ(r.PagesWritten, project.Topics.Count());
        EXPECT_EQ(lastProgress, std::make_pair(r.PagesWritten, r.PagesWritten));
        EXPECT_TRUE(r.Warnings.empty()) << r.Warnings.front();

        options.OutDir = dir / (std::string("chosen/") + c.Name);
        const TPublishResult chosen = Publish(c.Format, project, options);
        EXPECT_EQ(chosen.OutputFile, options.OutDir + "/" + c.OutputFile);
        EXPECT_TRUE(fs::is_regular_file(chosen.OutputFile));
    }
}

// Links in the assets folder that lead out of the project would publish what
// they name (a link to /etc published all of /etc); links that stay inside
// are published as the files they lead to.
TEST_F(PublishFixture, AssetLinksLeadingOutOfTheProjectAreNotFollowed) {
    const fs::path assets = fs::path(project.RootPath) / "assets";
    fs::create_directories(assets / "images");
    qm::test::WriteFile((assets / "images/real.png").string(), "png");
    qm::test::WriteFile(dir / "outside.png", "not the project's");
    qm::test::WriteFile((assets / "images/cut.png.tmp-a1B2c3").string(), "half an image");
    fs::create_symlink("/etc/passwd", assets / "passwd.png");
    fs::create_symlink("/etc", assets / "etc");
    fs::create_symlink(dir / "outside.png", assets / "outside.png");
    fs::create_symlink("nowhere.png", assets / "dangling.png");
    fs::create_symlink("images/real.png", assets / "alias.png");
    fs::create_symlink("images", assets / "pictures");
    fs::create_symlink("..", assets / "loop");

    for (const TFormatCase& c : kFormats) {
        SCOPED_TRACE(c.Name);
        const TPublishResult r = Publish(c.Format, project, Options());
        const fs::path out = fs::path(r.OutDir) / "assets";
        EXPECT_EQ(qm::test::ReadFile((out / "alias.png").string()), "png");
        EXPECT_EQ(qm::test::ReadFile((out / "pictures/real.png").string()), "png");
        for (const char* gone :
             {"passwd.png", "etc", "outside.png", "dangling.png", "images/cut.png.tmp-a1B2c3"})
            EXPECT_FALSE(fs::exists(fs::symlink_status(out / gone))) << gone;
        for (const char* link : {"passwd.png", "etc", "outside.png", "dangling.png"}) {
            const bool warned = std::any_of(r.Warnings.begin(), r.Warnings.end(), [&](auto& w) {
                return w.find((assets / link).string()) != std::string::npos;
            });
            EXPECT_TRUE(warned) << link;
        }
        EXPECT_EQ(r.Warnings.size(), 4u);
    }
}

TEST_F(PublishFixture, ACancelledRunStopsWithoutItsOutputFile) {
    struct TMoment {
        const char* Name;
        bool Before; // cancelled before the call, else once the first page is done
    };
    const TMoment moments[] = {{"before the start", true}, {"after the first page", false}};
    for (const TFormatCase& c : kFormats) {
        for (const TMoment& m : moments) {
            SCOPED_TRACE(std::string(c.Name) + ", " + m.Name);
            TCancellationToken token;
            if (m.Before)
                token.Cancel();
            size_t pages = 0;
            TPublishOptions options = Options();
            options.OutDir = dir / (std::string("cancelled/") + c.Name + "/" + m.Name);
            options.Threads = 1;
            options.Cancel = &token;
            options.Progress = [&](size_t done, size_t) {
                pages = done;
                token.Cancel();
            };
            // The type matters: a cancel must not pass for a failure ("CHM
            // export failed: ...") and show an error box.
            EXPECT_THROW((void)Publish(c.Format, project, options), EPublishCancelled);
            EXPECT_EQ(pages, m.Before ? 0u : 1u);
            EXPECT_FALSE(fs::exists(options.OutDir + "/" + c.OutputFile));
        }
    }
}

TEST(PublishFormat, NamesReadBackAndNothingElseIsAFormat) {
    for (const TFormatCase& c : kFormats) {
        EXPECT_EQ(FormatName(c.Format), c.Name);
        EXPECT_EQ(ParsePublishFormat(c.Name), c.Format) << c.Name;
    }
    for (const char* other : {"", "WebHelp", "CHM", "html", "pdf ", "chm\n"})
        EXPECT_EQ(ParsePublishFormat(other), std::nullopt) << "'" << other << "'";
}
