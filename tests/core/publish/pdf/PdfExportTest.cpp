// The whole export: what it leaves when it cannot print, how it refuses an
// old manual.pdf that cannot be replaced, and a real print of the sample
// project read back with poppler-utils.
#include "publish/pdf/PdfExport.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/Process.h"
#include "publish/pdf/PdfFrontMatter.h"
#include "publish/pdf/PdfManual.h"

#include "PdfTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

namespace {

bool Contains(const std::string& hay, const std::string& needle) {
    return hay.find(needle) != std::string::npos;
}

// Options that write into out and print with a browser that is not there.
TPublishOptions WithoutBrowser(const std::string& out) {
    TPublishOptions options;
    options.OutDir = out;
    options.PdfBrowser = out + "-no-browser/chromium";
    return options;
}

} // namespace

TEST(PdfExport, WhenThePrintFailsTheManualAndItsFilesStay) {
    TTempDir dir;
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    const std::string out = dir / "out";
    WriteFile(out + "/manual.pdf", "%PDF- from an earlier export");
    EXPECT_THROW((void)PublishPdf(p, WithoutBrowser(out)), platform::EProcessStartError);
    // The manual without page numbers, ready to be printed by other means.
    TPdfManualPass pass;
    pass.Date = PdfPublishDate();
    EXPECT_EQ(ReadFile(out + "/manual.html"), BuildPdfManual(p, pass));
    EXPECT_FALSE(fs::exists(out + "/manual.pages.html"));
    EXPECT_TRUE(Contains(ReadFile(out + "/style.css"), "\r\np { margin: 0; }"));
    EXPECT_EQ(ReadFile(out + "/assets/images/logo.png"),
              ReadFile(PdfFixtureFolder("Handbook") + "assets/images/logo.png"));
    EXPECT_FALSE(fs::exists(out + "/manual.pdf"));
}

TEST(PdfExport, AnOldPdfThatCannotBeDeletedStopsTheExport) {
    TTempDir dir;
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    const std::string out = dir / "out";
    WriteFile(out + "/manual.html", "old manual");
    // A folder with something in it: removing it fails as a locked file would.
    WriteFile(out + "/manual.pdf/held.txt", "x");
    try {
        (void)PublishPdf(p, WithoutBrowser(out));
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_TRUE(Contains(e.what(), "the file is in use")) << e.what();
        EXPECT_TRUE(Contains(e.what(), out + "/manual.pdf")) << e.what();
    }
    EXPECT_EQ(ReadFile(out + "/manual.html"), "old manual");
    EXPECT_FALSE(fs::exists(out + "/style.css"));
}

TEST(PdfExport, ABrowserThatCannotStartGivesTheSystemsError) {
    TTempDir dir;
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    // Executable, but neither a program nor a script the system can run.
    WriteFile(dir / "browser", "not a program");
    fs::permissions(dir / "browser", fs::perms::owner_all);
    TPublishOptions options;
    options.OutDir = dir / "out";
    options.PdfBrowser = dir / "browser";
    try {
        (void)PublishPdf(p, options);
        ADD_FAILURE() << "no error";
    } catch (const platform::EProcessStartError& e) {
        EXPECT_TRUE(Contains(e.what(), "Exec format error")) << e.what();
    }
}

TEST(PdfExport, CancellingBeforeThePrintStartsNoBrowser) {
    TTempDir dir;
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    // Reaching the printer would raise the failed start instead.
    TPublishOptions options = WithoutBrowser(dir / "out");
    TCancellationToken token;
    options.Cancel = &token;
    size_t sections = 0;
    options.Progress = [&](size_t done, size_t) {
        sections = done;
        if (done == 2)
            token.Cancel();
    };
    EXPECT_THROW((void)PublishPdf(p, options), EPublishCancelled);
    EXPECT_EQ(sections, 2u);
    EXPECT_FALSE(fs::exists(dir / "out/manual.pdf"));
}

namespace {

std::string ToolOutput(const std::vector<std::string>& argv) {
    const platform::TProcessResult r = platform::RunProcess(argv, "");
    EXPECT_EQ(r.ExitCode, 0) << argv[0] << ": " << r.Output;
    return r.Output;
}

// The outline (bookmarks) of a PDF, one title per entry in document order,
// from pdftohtml's XML, which lists it as nested <outline> lists of <item>s.
std::vector<std::string> OutlineTitles(const std::string& xml) {
    static const std::regex item(R"(<item[^>]*>([^<]*)</item>)");
    std::vector<std::string> titles;
    const size_t at = xml.find("<outline>");
    if (at == std::string::npos)
        return titles;
    const std::string outline = xml.substr(at);
    for (std::sregex_iterator it(outline.begin(), outline.end(), item), end; it != end; ++it)
        titles.push_back((*it)[1].str());
    return titles;
}

} // namespace

// One real print with the browser the export finds (/usr/bin/chromium in CI).
TEST(PdfExport, PrintsTheSampleProjectWithOutlineAndLinks) {
    TTempDir dir;
    fs::copy(QUILLMATE_SOURCE_DIR "/examples/sample", dir.Path(), fs::copy_options::recursive);
    const TProjectFileInfo info = ReadProjectFile(dir / "Sample.hff");
    const std::string folder = IncludeTrailingPathDelimiter(info.Folder);
    const std::string gettingStarted = "4372EDBBCD7D37A03A04DA94778D6D91";
    const std::string tasks = "AD3BBB53474437C0C2C6AEEDDE8E2D17"; // has a child of its own
    {
        TDocProject p;
        LoadProjectModel(folder, p);
        p.GetTopic(tasks).ExcludePdf = true;
        SaveProjectModel(p);
    }
    // One topic with a header of its own; the others take the sample's default header.
    WriteFile(folder + "meta/header_" + gettingStarted + ".html",
              "<div><b>Chapter 1:</b>&#160;Getting started</div>");
    TDocProject project;
    LoadProjectModel(folder, project);

    std::vector<std::pair<size_t, size_t>> progress;
    TPublishOptions options;
    options.Progress = [&](size_t done, size_t total) { progress.emplace_back(done, total); };
    const TPublishResult r = PublishPdf(project, options);

    const size_t sections = project.Topics.Count() - 2;
    const std::string out = folder + "build/pdf/";
    EXPECT_EQ(fs::canonical(r.OutputFile), fs::canonical(out + "manual.pdf"));
    EXPECT_EQ(fs::canonical(r.OutDir), fs::canonical(out));
    EXPECT_TRUE(fs::exists(out + "manual.html"));
    ASSERT_TRUE(fs::exists(r.OutputFile));
    EXPECT_EQ(r.PagesWritten, sections);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(sections, sections));
    EXPECT_TRUE(fs::exists(out + "assets/images/board.png"));

    const std::string pdfInfo = ToolOutput({"pdfinfo", r.OutputFile});
    EXPECT_TRUE(std::regex_search(pdfInfo, std::regex("(^|\n)Title: +Sample Manual\n"))) << pdfInfo;

    // The sections' text in contents order; the excluded topic and its child absent.
    const std::string text = ToolOutput({"pdftotext", "-enc", "UTF-8", r.OutputFile, "-"});
    const std::vector<std::string> inOrder = {
        "This manual shows how a help project is organised.",
        "These topics take you from a fresh installation",
        "You need about 200 MB of free",
        "Choose File \xE2\x80\xBA New Plan",
        "A plan holds tasks, shows them in views",
        "offers three views of the same plan.",
        "Invite people by e-mail address.",
        "Settings, shortcuts and other details.",
    };
    for (const size_t at : FindInOrder(text, inOrder))
        EXPECT_NE(at, std::string::npos) << text;
    EXPECT_FALSE(Contains(text, "A task has a title, an owner")) << "the excluded topic";
    EXPECT_FALSE(Contains(text, "Break a large task into subtasks")) << "its child";

    // Bookmarks: the section headings (each topic's header text) and the
    // headings inside the topics, in contents order.
    const std::string xml =
        ToolOutput({"pdftohtml", "-xml", "-i", "-stdout", "-enc", "UTF-8", r.OutputFile});
    const std::vector<std::string> outline = OutlineTitles(xml);
    std::string outlineText;
    for (const std::string& t : outline)
        outlineText += t + "\n";
    const std::vector<std::string> outlineOrder = {
        "Welcome to the Sample Manual\nWhat is inside\n",
        "Chapter 1: Getting started\n",
        "Installing\nSystem requirements\n",
        "Your First Plan\n",
        "Working with Plans\n",
        "Views\n",
        "Sharing a Plan\n",
        "Reference\n",
    };
    for (const size_t at : FindInOrder(outlineText, outlineOrder))
        EXPECT_NE(at, std::string::npos) << outlineText;
    EXPECT_FALSE(Contains(outlineText, "Tasks")) << outlineText;

    // A topic link became a link inside the document.
    static const std::regex internalLink(R"(<a href="[^"]*#\d+">Install the program</a>)");
    EXPECT_TRUE(std::regex_search(xml, internalLink)) << xml;
}

TEST(PdfExport, CancellingDuringThePrintEndsTheBrowser) {
    using namespace std::chrono_literals;
    TTempDir dir;
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    // The manual takes a few milliseconds; the browser needs about a second
    // to print, so the stop comes while it runs.
    TCancellationToken token;
    TPublishOptions options;
    options.OutDir = dir / "out";
    options.Cancel = &token;
    const auto start = std::chrono::steady_clock::now();
    // As the desktop program's Cancel button does: from another thread.
    std::thread canceller([&token] {
        std::this_thread::sleep_for(300ms);
        token.Cancel();
    });
    EXPECT_THROW((void)PublishPdf(p, options), EPublishCancelled);
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_TRUE(fs::exists(dir / "out/manual.html"));
    EXPECT_FALSE(fs::exists(dir / "out/manual.pdf"));
}
