// The whole export with the real help compiler (chmcmd), read back with
// chmlib's extract_chmLib and chmls.
#include "publish/chm/ChmExport.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/Process.h"
#include "publish/chm/ChmCompiler.h"
#include "publish/chm/JpegOrientation.h"
#include "settings/ProjectSettings.h"

#include "ChmTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::chm;
using namespace qm::test;

namespace {

const std::string kA = "A0000000000000000000000000000000";
const std::string kB = "B0000000000000000000000000000000";
const std::string kC = "C0000000000000000000000000000000";

// Unpacks a compiled file into a folder; the folder's files are what the
// compiled file holds.
void Extract(const std::string& chm, const std::string& dir) {
    const platform::TProcessResult r = platform::RunProcess({"extract_chmLib", chm, dir}, "");
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
}

std::string ChmListing(const std::string& chm) {
    const platform::TProcessResult r = platform::RunProcess({"chmls", "list", chm}, "");
    EXPECT_EQ(r.ExitCode, 0) << r.Output;
    return r.Output;
}

bool Contains(const std::string& hay, const std::string& needle) {
    return hay.find(needle) != std::string::npos;
}

} // namespace

TEST(ChmExport, CompilesTheSampleProjectWithWindows1251Pages) {
    TTempDir dir;
    fs::copy(QUILLMATE_SOURCE_DIR "/examples/sample", dir.Path(), fs::copy_options::recursive);
    const TProjectFileInfo info = ReadProjectFile(dir / "Sample.hff");
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    const std::string welcome = "44E35634D392EE27CA793791FD4CF5CA";
    const std::string welcomeFile = project.TopicHtmlPath(welcome);
    // Cyrillic De, the euro sign, an em dash, and e acute which the code page lacks.
    WriteFile(welcomeFile,
              ReadFile(welcomeFile) + "<p>\xD0\x94 \xE2\x82\xAC \xE2\x80\x94 caf\xC3\xA9</p>");

    std::vector<std::pair<size_t, size_t>> progress;
    TPublishOptions options;
    options.Progress = [&](size_t done, size_t total) { progress.emplace_back(done, total); };
    const TPublishResult result = PublishChm(project, options);

    const std::string outDir = info.Folder + "/build/chm";
    EXPECT_EQ(fs::canonical(result.OutputFile), fs::canonical(outDir + "/help.chm"));
    EXPECT_EQ(result.PagesWritten, project.Topics.Count());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(project.Topics.Count(), project.Topics.Count()));

    const std::string unpacked = dir / "unpacked";
    Extract(result.OutputFile, unpacked);
    for (const TTopic& t : project.Topics)
        EXPECT_TRUE(fs::exists(unpacked + "/topics/" + t.ID + ".html")) << t.Title;
    EXPECT_TRUE(fs::exists(unpacked + "/style.css"));
    EXPECT_TRUE(fs::exists(unpacked + "/assets/images/board.png"));

    const std::string page = ReadFile(unpacked + "/topics/" + welcome + ".html");
    EXPECT_TRUE(Contains(page, "<p>\xC4 \x88 \x97 caf&#233;</p>")) << page;
    EXPECT_TRUE(Contains(page, "charset=windows-1251"));
    EXPECT_TRUE(Contains(page, "<b>Welcome to the Sample Manual</b>")) << "the topic's header";
    const std::string installing =
        ReadFile(unpacked + "/topics/9315C669BBB79153A7F92D92AFC1975A.html");
    EXPECT_TRUE(Contains(installing, "1280 &#215; 720")) << "the multiplication sign";

    const std::string toc = ReadFile(unpacked + "/toc.hhc");
    EXPECT_TRUE(Contains(toc, "<param name=\"Name\" value=\"Getting Started\">\r\n"
                              "<param name=\"Local\" value=\"topics/"
                              "4372EDBBCD7D37A03A04DA94778D6D91.html\">"));
    const std::string index = ReadFile(unpacked + "/index.hhk");
    EXPECT_TRUE(Contains(index, "<param name=\"Name\" value=\"system requirements\">\r\n"
                                "<param name=\"Local\" value=\"topics/"
                                "9315C669BBB79153A7F92D92AFC1975A.html\">"));
    // The compiler turned the index file into the binary index and indexed the text.
    const std::string listing = ChmListing(result.OutputFile);
    EXPECT_TRUE(Contains(listing, "/$WWKeywordLinks/BTree")) << listing;
    EXPECT_TRUE(Contains(listing, "/$FIftiMain")) << listing;
}

namespace {

struct ChmExportFixture : ::testing::Test {
    TChmFixture f;

    ChmExportFixture() {
        f.Project.Title = "A & B";
        const std::string a = "<h1>First</h1><table><tr><td>x</td></tr></table>"
                              "<p>Go to <a href=\"doc:" +
                              kB + "\">B</a> or <a href=\"doc:" + kC +
                              "\">C</a>.\xE2\x80\x8B</p><img src=\"assets/photo.jpg\">";
        const std::string b = "<p>Second</p>";
        const std::string c = "<p>Third</p>";
        f.AddTopic(kA, "First", "", &a);
        f.AddTopic(kB, "Second", kA, &b);
        f.AddTopic(kC, "Third", "", &c).ExcludeChm = true;
        WriteFile(f.Dir / "proj/assets/photo.jpg",
                  WithExifOrientation(MakeQuadrantJpeg(32, 16), 6));
    }
};

} // namespace

TEST_F(ChmExportFixture, PagesCarryTheViewerFixes) {
    TProjectSettings s;
    s.CopyrightEnabled = true;
    s.CopyrightText = "(c) A & B";
    s.DefaultHeaderBgColor = 0x00332211; // #112233
    s.SaveToFile(TProjectSettings::DefaultSettingsPathForProject(f.Project.RootPath));

    const TPublishResult r = PublishChm(f.Project, {});
    EXPECT_TRUE(r.Warnings.empty()) << r.Warnings.front();
    const std::string page = ReadFile(f.Out("topics/" + kA + ".html"));
    EXPECT_TRUE(Contains(page, "<div class=\"qz-header\"><div style=\"font-size:14px;\"><b>A &amp; "
                               "B</b></div></div>"))
        << page;
    EXPECT_TRUE(Contains(page, "<td bgcolor=\"#112233\" style=\"background-color: #112233;\">x"));
    EXPECT_TRUE(Contains(page, "<a href=\"" + kB + ".html\">B</a>"));
    EXPECT_TRUE(Contains(page, "<a href=\"#\">C</a>.</p>"))
        << "excluded target, no zero-width space";
    EXPECT_TRUE(Contains(page, "<img src=\"../assets/photo.jpg\">"));
    EXPECT_TRUE(Contains(page, "<div class=\"qz-footer\">(c) A &amp; B</div></body></html>"));
    EXPECT_FALSE(fs::exists(f.Out("topics/" + kC + ".html")));
    EXPECT_TRUE(ReadFile(f.Out("style.css"))
                    .starts_with("body{font-family:Segoe UI,Arial;line-height:1.5;}p{margin:0;}"));

    // The published photo is upright; the project's own stays as it was.
    EXPECT_EQ(ReadJpegOrientation(f.Out("assets/photo.jpg")), 1);
    EXPECT_EQ(DecodeJpeg(ReadFile(f.Out("assets/photo.jpg"))).Width, 16u);
    EXPECT_EQ(ReadJpegOrientation(f.Dir / "proj/assets/photo.jpg"), 6);
}

TEST_F(ChmExportFixture, PagesOfDeletedAndExcludedTopicsLeaveTheOutput) {
    f.Project.GetTopic(kC).ExcludeChm = false;
    (void)PublishChm(f.Project, {});
    ASSERT_TRUE(fs::exists(f.Out("topics/" + kC + ".html")));
    ASSERT_TRUE(fs::exists(f.Out("topics/" + kB + ".html")));

    f.Project.GetTopic(kC).ExcludeChm = true;
    f.Project.DeleteTopic(kB);
    const TPublishResult r = PublishChm(f.Project, {});
    EXPECT_EQ(r.StalePagesRemoved, 2u);
    EXPECT_FALSE(fs::exists(f.Out("topics/" + kC + ".html")));
    EXPECT_FALSE(fs::exists(f.Out("topics/" + kB + ".html")));
    const std::string listing = ChmListing(r.OutputFile);
    EXPECT_TRUE(Contains(listing, "/topics/" + kA + ".html"));
    EXPECT_FALSE(Contains(listing, kB)) << listing;
    EXPECT_FALSE(Contains(listing, kC)) << listing;
}

TEST_F(ChmExportFixture, TopicsWhoseIdCannotNameAFileAreLeftOutWithAWarning) {
    f.AddTopic("../../escape", "Escape", "");
    f.AddTopic("a?b", "Question", kA);
    const TPublishResult r = PublishChm(f.Project, {});
    ASSERT_EQ(r.Warnings.size(), 2u);
    EXPECT_TRUE(Contains(r.Warnings[0], "../../escape")) << r.Warnings[0];
    EXPECT_TRUE(Contains(r.Warnings[1], "a?b")) << r.Warnings[1];
    EXPECT_FALSE(fs::exists(f.Dir / "proj/build/escape.html"));
    EXPECT_FALSE(Contains(ReadFile(f.Out("toc.hhc")), "Escape"));
    EXPECT_FALSE(Contains(ReadFile(f.Out("index.hhk")), "Question"));
}

TEST_F(ChmExportFixture, APhotoThatCannotBeDecodedIsAWarningNotAFailure) {
    // An orientation tag and no picture at all.
    const std::string broken = WithExifOrientation(std::string("\xFF\xD8\xFF\xD9", 4), 6);
    WriteFile(f.Dir / "proj/assets/photo.jpg", broken);
    const TPublishResult r = PublishChm(f.Project, {});
    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_TRUE(Contains(r.Warnings[0], "assets/photo.jpg")) << r.Warnings[0];
    EXPECT_EQ(ReadFile(f.Out("assets/photo.jpg")), broken);
    EXPECT_GT(fs::file_size(r.OutputFile), 0u);
}

TEST_F(ChmExportFixture, AFailedCompilationIsReportedWithTheCompilersWords) {
    // An asset name the code page cannot hold becomes "?" in the project
    // file, which then names a file that does not exist.
    WriteFile(f.Dir / "proj/assets/\xE4\xB8\xAD.png", "png");
    // A help.chm of an earlier run must not pass for this run's result.
    WriteFile(f.Out("help.chm"), "old");
    try {
        (void)PublishChm(f.Project, {});
        FAIL() << "the export succeeded";
    } catch (const EPublishCancelled&) {
        FAIL() << "reported as cancelled";
    } catch (const EQuillmateError& e) {
        const std::string message = e.what();
        EXPECT_TRUE(message.starts_with("CHM export failed: ")) << message;
        EXPECT_TRUE(Contains(message, "assets/?.png")) << message;
    }
    EXPECT_NE(ReadFile(f.Out("help.chm")), "old");
}

TEST(ChmCompiler, AMissingFilesEntryFailsWithTheCompilersMessage) {
    TTempDir dir;
    WriteFile(dir / "topics/a.html", "<html><body><p>Hello world</p></body></html>");
    WriteFile(dir / "toc.hhc", "<HTML><BODY><UL></UL></BODY></HTML>\r\n");
    WriteFile(dir / "index.hhk", "<HTML><BODY><UL></UL></BODY></HTML>\r\n");
    const std::string head = "[OPTIONS]\r\nCompiled file=help.chm\r\nContents file=toc.hhc\r\n"
                             "Index file=index.hhk\r\nDefault topic=topics/a.html\r\n\r\n"
                             "[FILES]\r\ntoc.hhc\r\nindex.hhk\r\ntopics/a.html\r\n";
    const std::string compiler = FindHtmlHelpCompiler();
    ASSERT_FALSE(compiler.empty()) << "chmcmd (Debian package fp-utils) is not on PATH";

    WriteFile(dir / "project.hhp", head);
    EXPECT_NO_THROW((void)CompileChmProject(compiler, dir.Path(), "help.chm"));
    EXPECT_GT(fs::file_size(dir / "help.chm"), 0u);

    WriteFile(dir / "project.hhp", head + "topics/missing.html\r\n");
    try {
        (void)CompileChmProject(compiler, dir.Path(), "help.chm");
        FAIL() << "the compilation succeeded";
    } catch (const EQuillmateError& e) {
        const std::string message = e.what();
        EXPECT_TRUE(Contains(message, "missing.html")) << message;
        EXPECT_FALSE(Contains(message, "Note:")) << message;
    }
    EXPECT_EQ(fs::exists(dir / "help.chm") ? fs::file_size(dir / "help.chm") : 0u, 0u);
}

TEST(ChmCompiler, ExitCodeZeroWithoutACompiledFileIsAFailure) {
    // chmcmd ends with 0 when it cannot even find the project file; the
    // help.chm of an earlier run must not stand in for this run's.
    TTempDir dir;
    WriteFile(dir / "help.chm", "an earlier run");
    try {
        (void)CompileChmProject(FindHtmlHelpCompiler(), dir.Path(), "help.chm");
        FAIL() << "the compilation succeeded";
    } catch (const EQuillmateError& e) {
        EXPECT_TRUE(Contains(e.what(), "project.hhp")) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "help.chm"));
}

TEST_F(ChmExportFixture, FailuresBeforeTheCompilerRunCarryTheirReason) {
    struct Case {
        const char* name;
        std::function<void(TDocProject&, TPublishOptions&)> setUp;
        std::string message;
    };
    const Case cases[] = {
        {"no compiler",
         [](TDocProject&, TPublishOptions& o) { o.ChmCompiler = "/nonexistent/chmcmd"; },
         "CHM export failed: Failed to run chmcmd: Cannot start \"/nonexistent/chmcmd\". No "
         "such file or directory"},
        {"every topic excluded",
         [](TDocProject& p, TPublishOptions&) {
             p.GetTopic(kA).ExcludeChm = true;
             p.GetTopic(kB).ExcludeChm = true;
         },
         "CHM export failed: There is no topic to publish in CHM."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TChmFixture fresh;
        const std::string page = "<p>x</p>";
        fresh.AddTopic(kA, "A", "", &page);
        fresh.AddTopic(kB, "B", "", &page);
        TPublishOptions options;
        c.setUp(fresh.Project, options);
        try {
            (void)PublishChm(fresh.Project, options);
            ADD_FAILURE() << "the export succeeded";
        } catch (const EQuillmateError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_FALSE(fs::exists(fresh.Out("help.chm")));
    }
}

TEST_F(ChmExportFixture, CancellingStopsTheExportWithoutAFailureMessage) {
    TCancellationToken token;
    token.Cancel();
    TPublishOptions options;
    options.Cancel = &token;
    EXPECT_THROW((void)PublishChm(f.Project, options), EPublishCancelled);
    EXPECT_FALSE(fs::exists(f.Out("help.chm")));
}

TEST(ChmCompiler, NoCompilerFoundSaysHowToInstallIt) {
    TTempDir dir;
    try {
        (void)RunHtmlHelpCompiler("", {"project.hhp"}, dir.Path());
        FAIL() << "ran without a compiler";
    } catch (const EQuillmateError& e) {
        EXPECT_EQ(std::string(e.what()), "chmcmd not found; install the Debian package fp-utils");
    }
}

TEST(ChmCompiler, FindsChmcmdOnPathOnly) {
    const std::string found = FindHtmlHelpCompiler();
    EXPECT_TRUE(found.ends_with("/chmcmd")) << found;
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    TTempDir empty;
    ::setenv("PATH", empty.Path().c_str(), 1);
    const std::string none = FindHtmlHelpCompiler();
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(none, "");
}

TEST(ChmCompiler, ExitCodesFollowEachCompilersConvention) {
    struct Case {
        const char* exe;
        int code;
        bool success;
    };
    const Case cases[] = {
        {"C:\\Windows\\hhc.exe", 1, true}, {"C:\\Windows\\HHC.EXE", 0, false},
        {"/usr/bin/chmcmd", 0, true},      {"/usr/bin/chmcmd", 217, false},
        {"/usr/bin/chmcmd", 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompilerExitCodeMeansSuccess(c.exe, c.code), c.success) << c.exe << " " << c.code;
}

TEST(ChmCompiler, SplitsTheCompilersOutput) {
    const TCompilerMessages m = SplitCompilerOutput(
        "chmcmd, a CHM compiler. (c) 2010-2019 Free Pascal core.\n"
        "Note: Index items:1\r\n"
        "Warning: Found file assets/x.png while scanning topics/a.html, but couldn't find it on "
        "disk\n"
        "Warning: Found file topics/ while scanning topics/a.html, but couldn't find it on disk\n"
        "Writing CHM help.chm\n"
        "An unhandled exception occurred at $0000000000416AC9:\n"
        "EFOpenError: Unable to open file \"/tmp/x/missing.html\": No such file or directory\n"
        "  $0000000000416AC9\n"
        "HHC5003: Error: Compilation failed while compiling topics\\a.html.\n"
        "HHC3004: Warning: Link to a.html not found.\n");
    EXPECT_EQ(m.Errors, (std::vector<std::string>{
                            "EFOpenError: Unable to open file \"/tmp/x/missing.html\": No such "
                            "file or directory",
                            "HHC5003: Error: Compilation failed while compiling topics\\a.html."}));
    EXPECT_EQ(m.Warnings,
              (std::vector<std::string>{"Found file assets/x.png while scanning topics/a.html, but "
                                        "couldn't find it on disk",
                                        "HHC3004: Warning: Link to a.html not found."}));
}
