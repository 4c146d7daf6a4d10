// The files beside the manual (style sheet, assets) and the wait for the
// printed one.
#include "publish/pdf/PdfAssets.h"
#include "publish/pdf/PdfStyleSheet.h"
#include "publish/pdf/PdfWait.h"

#include "model/DocModel.h"
#include "publish/SettingsCss.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

TEST(PdfStyleSheet, ProfileThenParagraphRuleThenOverrides) {
    const std::string builtIn = "body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}";
    const std::string rule = "\r\np { margin: 0; }";
    struct Case {
        const char* name;
        std::string profileName;
        std::optional<std::string> profile; // written as styles/<profileName>.css
        std::string start;                  // what comes before the overrides
    };
    const Case cases[] = {
        {"no profile file", "default", std::nullopt, builtIn + rule},
        {"a profile with its own rule", "default", "h1{x:y}\np { margin: 4px; }",
         "h1{x:y}\np { margin: 4px; }"},
        {"a rule written without spaces", "default", "p{margin:0}", "p{margin:0}" + rule},
        {"the check is case-sensitive", "default", "P { MARGIN: 1px; }",
         "P { MARGIN: 1px; }" + rule},
        {"another profile", "print", "/*print*/", "/*print*/" + rule},
        // A name that climbs out of the styles folder counts as missing.
        {"a climbing name", "../outside", "p { margin: 9px; }", builtIn + rule},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        TDocProject p;
        p.RootPath = dir / "proj/";
        p.StyleProfile = c.profileName;
        if (c.profile)
            WriteFile(dir / ("proj/styles/" + c.profileName + ".css"), *c.profile);
        TProjectSettings settings;
        settings.DefaultFontName = "Quill Serif";
        EXPECT_EQ(BuildPdfStyleSheet(p, settings),
                  c.start + BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Standard));
    }
}

TEST(PdfAssets, CopiesFilesAtEveryDepthAndNoEmptyFolders) {
    TTempDir dir;
    const std::string src = dir / "assets";
    const std::string dst = dir / "out/assets";
    WriteFile(src + "/top.css", "new top");
    WriteFile(src + "/images/deep/er/a b.png", "png");
    fs::create_directories(src + "/empty/nested");
    WriteFile(dst + "/top.css", "old top");
    WriteFile(dst + "/kept.txt", "from before");

    std::vector<std::string> warnings;
    CopyAssetFiles(src, dst, dir.Path(), warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(ReadFile(dst + "/top.css"), "new top");
    EXPECT_EQ(ReadFile(dst + "/images/deep/er/a b.png"), "png");
    EXPECT_EQ(ReadFile(dst + "/kept.txt"), "from before");
    EXPECT_FALSE(fs::exists(dst + "/empty"));
}

TEST(PdfAssets, AMissingSourceCopiesNothingAndAFailureNamesTheFile) {
    TTempDir dir;
    std::vector<std::string> warnings;
    CopyAssetFiles(dir / "none", dir / "out/assets", dir.Path(), warnings);
    EXPECT_FALSE(fs::exists(dir / "out"));

    WriteFile(dir / "assets/images/a.png", "png");
    WriteFile(dir / "out/assets/images", "a file where the folder must go");
    try {
        CopyAssetFiles(dir / "assets", dir / "out/assets", dir.Path(), warnings);
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(dir / "assets/images/a.png"), std::string::npos)
            << e.what();
    }
}

TEST(PdfWait, AcceptsOnlyANonEmptyFileWrittenSinceTheStart) {
    using namespace std::chrono_literals;
    enum class TFile { Missing, Empty, Old, Fresh, AppearsLater };
    struct Case {
        const char* name;
        TFile file;
        std::uintmax_t size; // 0: "not created in time"
    };
    const Case cases[] = {
        {"no file", TFile::Missing, 0},
        {"an empty file", TFile::Empty, 0},
        {"a file from before the start", TFile::Old, 0},
        {"a file written since the start", TFile::Fresh, 5},
        {"a file that appears during the wait", TFile::AppearsLater, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string pdf = dir / "manual.pdf";
        // File times come from a coarser clock than now() and can lag it by
        // a few milliseconds, so the start is set a second back.
        const fs::file_time_type start = fs::file_time_type::clock::now() - 1s;
        std::thread writer;
        switch (c.file) {
        case TFile::Missing:
            break;
        case TFile::Empty:
            WriteFile(pdf, "");
            break;
        case TFile::Old:
            WriteFile(pdf, "%PDF-old");
            fs::last_write_time(pdf, start - 1h);
            break;
        case TFile::Fresh:
            WriteFile(pdf, "%PDF-");
            break;
        case TFile::AppearsLater:
            writer = std::thread([pdf] {
                std::this_thread::sleep_for(150ms);
                WriteFile(pdf, "%PDF-17");
            });
            break;
        }
        const auto before = std::chrono::steady_clock::now();
        if (c.size > 0) {
            EXPECT_EQ(WaitForNonEmptyFile(pdf, 2000, start), c.size);
        } else {
            try {
                (void)WaitForNonEmptyFile(pdf, 300, start);
                ADD_FAILURE() << "no error";
            } catch (const EQuillmateError& e) {
                EXPECT_STREQ(e.what(), "PDF file was not created in time");
            }
            EXPECT_GE(std::chrono::steady_clock::now() - before, 300ms);
        }
        if (writer.joinable())
            writer.join();
    }
}

TEST(PdfWait, StopsWhenCancelled) {
    TTempDir dir;
    TCancellationToken token;
    token.Cancel();
    const auto before = std::chrono::steady_clock::now();
    EXPECT_THROW((void)WaitForNonEmptyFile(dir / "manual.pdf", 60000, {}, &token),
                 EPublishCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
}
