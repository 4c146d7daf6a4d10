// The one call shape of the three publishers, run with the real tools
// (chmcmd for CHM, chromium for PDF) on a copy of the sample project.
#include "publish/Publish.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "content/ReusableContent.h"
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
using qm::test::WriteFile;

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

// Snippets that double at each of 22 levels would make a page of many
// megabytes; the publish stops and names the topic, so the author knows
// where to look.
TEST_F(PublishFixture, SnippetsExpandingTooFarStopThePublishNamingTheTopic) {
    TReusableProjectContent store;
    for (int i = 1; i < 22; ++i) {
        const std::string next = "{snip:L" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"L" + std::to_string(i), next + next});
    }
    store.FSnippets.push_back({"L22", "<i>leaf text</i>"});
    store.SaveToProject(project);
    const TTopic& topic = *project.Topics.begin();
    WriteFile(project.TopicHtmlPath(topic.ID), "<p>{snip:L1}</p>");
    for (const TPublishFormat format : {TPublishFormat::WebHelp, TPublishFormat::Chm}) {
        try {
            (void)Publish(format, project, Options());
            ADD_FAILURE() << "published";
        } catch (const EQuillmateError& e) {
            EXPECT_NE(std::string(e.what()).find("in topic '" + topic.Title + "'"),
                      std::string::npos)
                << e.what();
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
