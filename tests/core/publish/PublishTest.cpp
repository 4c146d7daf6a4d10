// The one call shape of the three publishers, run with the real tools
// (chmcmd for CHM, chromium for PDF) on a copy of the sample project.
#include "publish/Publish.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "content/ReusableContent.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "publish/common/OutputFolder.h"
#include "publish/common/PublishCommon.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::ReadFile;
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

// Every file under a folder with its bytes: equal snapshots show that
// nothing was written, changed or deleted in between.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file() && !e.is_symlink())
            files[e.path().string()] = ReadFile(e.path().string());
    return files;
}

bool Contains(const std::string& hay, const std::string& needle) {
    return hay.find(needle) != std::string::npos;
}

// The formats that write a page per topic and remove the pages of topics no
// longer published.
const TFormatCase kPageFormats[] = {kFormats[0], kFormats[1]};

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

TEST_F(PublishFixture, AnOutputFolderInOrAroundTheDataFolderIsRefusedBeforeAnythingIsWritten) {
    const std::string data = fs::path(project.RootPath).lexically_normal().parent_path().string();
    fs::create_directory_symlink(data, dir / "link-to-data");
    const std::string is = "is the project's data folder";
    const std::string inside = "lies inside the project's data folder \"" + data + "\"";
    const std::string holds = "contains the project's data folder \"" + data + "\"";
    const auto before = Snapshot(dir.Path());
    for (const TFormatCase& f : kFormats) {
        const char* other = f.Format == TPublishFormat::WebHelp ? "chm" : "webhelp";
        struct TCase {
            const char* Name;
            std::string OutDir;
            const std::string& Says;
        };
        const TCase cases[] = {
            {"the data folder", data, is},
            {"the data folder, written with a dot and a separator", data + "/./", is},
            {"the data folder through a symbolic link", dir / "link-to-data", is},
            {"its assets", data + "/assets", inside},
            {"a new folder deep inside", data + "/topics/new/out", inside},
            {"a folder inside through a symbolic link", dir / "link-to-data/topics", inside},
            {"the default folder of another format", data + "/build/" + other, inside},
            {"a folder below the default one", data + "/build/" + f.Name + "/more", inside},
            {"the folder holding it and the project file", dir.Path(), holds},
            {"the root folder", "/", holds},
        };
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(f.Name) + ": " + c.Name);
            TPublishOptions options = Options();
            options.OutDir = c.OutDir;
            try {
                (void)Publish(f.Format, project, options);
                ADD_FAILURE() << "published into " << c.OutDir;
            } catch (const EQuillmateError& e) {
                EXPECT_TRUE(Contains(e.what(), "The output folder \"")) << e.what();
                EXPECT_TRUE(Contains(e.what(), c.Says)) << e.what();
            }
        }
    }
    EXPECT_EQ(Snapshot(dir.Path()), before) << "something was written, changed or deleted";
}

TEST_F(PublishFixture, TheDefaultFolderMayBeNamedOutright) {
    const std::string data = fs::path(project.RootPath).lexically_normal().parent_path().string();
    fs::create_directory_symlink(data, dir / "link-to-data");
    for (const std::string& out :
         {data + "/build/webhelp", data + "/build/webhelp/", dir / "link-to-data/build/webhelp"}) {
        SCOPED_TRACE(out);
        TPublishOptions options = Options();
        options.OutDir = out;
        const TPublishResult r = Publish(TPublishFormat::WebHelp, project, options);
        EXPECT_TRUE(fs::is_regular_file(r.OutputFile));
    }
}

TEST_F(PublishFixture, StalePagesGoOnlyFromFoldersOfEarlierPublishes) {
    struct TCase {
        const char* Name;
        // Prepares the folder for the format; returns it ("" for the default).
        std::function<std::string(const TFormatCase&)> Prepare;
        bool Removed;
    };
    // "notes.html" stands for a page no topic publishes: in a folder of our
    // own a page of a deleted topic, anywhere else a page of the author's.
    const auto page = [](const std::string& out) { return out + "/topics/notes.html"; };
    const TCase cases[] = {
        {"a folder of the author's own pages",
         [&](const TFormatCase& f) {
             const std::string out = dir / (std::string("own-") + f.Name);
             WriteFile(page(out), "the author's notes");
             return out;
         },
         false},
        {"the folder of an earlier publish",
         [&](const TFormatCase& f) {
             TPublishOptions options = Options();
             options.OutDir = dir / (std::string("earlier-") + f.Name);
             (void)Publish(f.Format, project, options);
             WriteFile(page(options.OutDir), "a page of a deleted topic");
             return options.OutDir;
         },
         true},
        {"a folder another format published into",
         [&](const TFormatCase& f) {
             const std::string out = dir / (std::string("other-") + f.Name);
             WriteFile(out + "/" + kOutputMarkerFile, "pdf\n");
             WriteFile(page(out), "not this format's page");
             return out;
         },
         false},
        {"the default folder, unmarked as an older version left it",
         [&](const TFormatCase& f) {
             WriteFile(page(DefaultOutDir(project, f.Format)), "a page of a deleted topic");
             return std::string();
         },
         true},
    };
    for (const TFormatCase& f : kPageFormats) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(f.Name) + ": " + c.Name);
            TPublishOptions options = Options();
            options.OutDir = c.Prepare(f);
            const TPublishResult r = Publish(f.Format, project, options);
            EXPECT_EQ(r.StalePagesRemoved, c.Removed ? 1u : 0u);
            EXPECT_EQ(fs::exists(page(r.OutDir)), !c.Removed);
            // Left unmarked, a foreign folder loses nothing on the next run either.
            const TPublishResult again = Publish(f.Format, project, options);
            EXPECT_EQ(again.StalePagesRemoved, 0u);
            EXPECT_EQ(fs::exists(page(r.OutDir)), !c.Removed);
        }
    }
}

TEST_F(PublishFixture, TopicsWhoseIdIsTooLongForAFileNameAreSkippedWithAWarning) {
    struct TCase {
        size_t Length;
        char Letter; // one per case, so that no id holds another
        bool Published;
    };
    const TCase cases[] = {
        {kMaxTopicIdBytes, 'L', true}, {kMaxTopicIdBytes + 1, 'M', false}, {300, 'N', false}};
    for (const TCase& c : cases) {
        auto topic = std::make_unique<TTopic>();
        topic->ID = std::string(c.Length, c.Letter);
        topic->Title = "Long " + std::to_string(c.Length);
        project.RootTopicIDs.push_back(topic->ID);
        project.Topics.Add(std::move(topic));
    }
    for (const TFormatCase& f : kPageFormats) {
        SCOPED_TRACE(f.Name);
        const TPublishResult r = Publish(f.Format, project, Options());
        EXPECT_TRUE(fs::is_regular_file(r.OutputFile));
        size_t published = 0;
        for (const TCase& c : cases) {
            const std::string id(c.Length, c.Letter);
            std::error_code tooLong;
            EXPECT_EQ(fs::exists(r.OutDir + "/topics/" + id + ".html", tooLong), c.Published)
                << c.Length;
            const bool warned = std::any_of(r.Warnings.begin(), r.Warnings.end(),
                                            [&](const std::string& w) { return Contains(w, id); });
            EXPECT_EQ(warned, !c.Published) << c.Length;
            published += c.Published ? 1 : 0;
        }
        EXPECT_EQ(r.PagesWritten, project.Topics.Count() - std::size(cases) + published);
    }
}
