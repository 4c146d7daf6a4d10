// The sample project printed as a reader gets it, read back with poppler:
// the title page, the contents and their page numbers and links, the page
// numbers in the footers, the outline's nesting and the page margins.
#include "publish/pdf/PdfExport.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "platform/Process.h"
#include "publish/pdf/PdfManual.h"

#include "PdfTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <poppler-document.h>
#include <poppler-page.h>
#include <poppler-toc.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <regex>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

std::string Utf8(const poppler::ustring& s) {
    const poppler::byte_array bytes = s.to_utf8();
    return std::string(bytes.data(), bytes.size());
}

struct TWord {
    std::string Text;
    poppler::rectf Box; // points, from the page's top left
};

struct TPage {
    double Width = 0;
    double Height = 0;
    std::vector<TWord> Words;

    // The words joined into lines: the same top (to the point) and left to right.
    [[nodiscard]] std::vector<std::string> Lines() const {
        std::map<long, std::vector<const TWord*>> rows;
        for (const TWord& w : Words)
            rows[std::lround(w.Box.y())].push_back(&w);
        std::vector<std::string> lines;
        for (auto& [top, words] : rows) {
            std::sort(words.begin(), words.end(),
                      [](const TWord* a, const TWord* b) { return a->Box.x() < b->Box.x(); });
            std::string line;
            for (const TWord* w : words)
                line += (line.empty() ? "" : " ") + w->Text;
            lines.push_back(line);
        }
        return lines;
    }

    [[nodiscard]] bool HasLine(const std::string& text) const {
        const std::vector<std::string> lines = Lines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
};

struct TPrintedManual {
    std::vector<TPage> Pages;
    std::string Outline; // one line per entry, two spaces of indent a level
};

void AppendOutline(const poppler::toc_item* item, int depth, std::string& out) {
    for (const poppler::toc_item* child : item->children()) {
        out += std::string(static_cast<size_t>(depth) * 2, ' ') + Utf8(child->title()) + "\n";
        AppendOutline(child, depth + 1, out);
    }
}

TPrintedManual ReadManual(const std::string& pdf) {
    TPrintedManual m;
    const std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(pdf));
    if (!doc)
        throw std::runtime_error("poppler cannot read " + pdf);
    for (int i = 0; i < doc->pages(); ++i) {
        const std::unique_ptr<poppler::page> page(doc->create_page(i));
        TPage p;
        const poppler::rectf size = page->page_rect(poppler::media_box);
        p.Width = size.width();
        p.Height = size.height();
        for (const poppler::text_box& box : page->text_list())
            p.Words.push_back({Utf8(box.text()), box.bbox()});
        m.Pages.push_back(std::move(p));
    }
    if (const std::unique_ptr<poppler::toc> toc(doc->create_toc()); toc)
        AppendOutline(toc->root(), 0, m.Outline);
    return m;
}

// The page number at the end of a contents line that starts with heading.
std::optional<int> ContentsNumber(const TPage& contents, const std::string& heading) {
    static const std::regex trailingNumber(R"( (\d+)$)");
    for (const std::string& line : contents.Lines()) {
        std::smatch m;
        if (line.starts_with(heading + " ") && std::regex_search(line, m, trailingNumber) &&
            line.size() == heading.size() + m[0].length())
            return std::stoi(m[1].str());
    }
    return std::nullopt;
}

// Link targets of a page by link text, from pdftohtml's XML ("manual.html#5").
std::map<std::string, int> LinkPages(const std::string& pdf, int page) {
    const platform::TProcessResult r =
        platform::RunProcess({"pdftohtml", "-xml", "-i", "-stdout", "-enc", "UTF-8", "-f",
                              std::to_string(page), "-l", std::to_string(page), pdf},
                             "");
    EXPECT_EQ(r.ExitCode, 0) << r.Output;
    static const std::regex link(R"re(<a href="[^"]*#(\d+)">(?:<b>)?([^<]*)(?:</b>)?</a>)re");
    std::map<std::string, int> pages;
    for (std::sregex_iterator it(r.Output.begin(), r.Output.end(), link), end; it != end; ++it)
        pages.emplace((*it)[2].str(), std::stoi((*it)[1].str()));
    return pages;
}

} // namespace

TEST(PdfPrintedManual, TheSampleReadsLikeAManual) {
    TTempDir dir;
    fs::copy(QUILLMATE_SOURCE_DIR "/examples/sample", dir.Path(), fs::copy_options::recursive);
    const TProjectFileInfo info = ReadProjectFile(dir / "Sample.hff");
    TDocProject project;
    LoadProjectModel(IncludeTrailingPathDelimiter(info.Folder), project);
    const TScopedEnv date("SOURCE_DATE_EPOCH", "1767225600"); // 2026-01-01
    const TPublishResult r = PublishPdf(project, {});
    EXPECT_FALSE(fs::exists(r.OutDir + "/manual.pages.html")) << "the first print's page";

    const TPrintedManual m = ReadManual(r.OutputFile);
    ASSERT_GE(m.Pages.size(), 4u);

    // The title page: the help's title and the date, and no page number.
    const TPage& title = m.Pages[0];
    EXPECT_TRUE(title.HasLine(project.Title));
    EXPECT_TRUE(title.HasLine("2026-01-01"));
    for (const TWord& w : title.Words)
        EXPECT_LT(w.Box.bottom(), title.Height * 0.75) << w.Text;

    // Every page after it carries its number in the bottom margin.
    for (size_t i = 1; i < m.Pages.size(); ++i) {
        const TPage& p = m.Pages[i];
        const std::string number = std::to_string(i + 1);
        const bool found = std::any_of(p.Words.begin(), p.Words.end(), [&](const TWord& w) {
            return w.Text == number && w.Box.y() > p.Height - 25 * kPointsPerMm;
        });
        EXPECT_TRUE(found) << "page " << number;
    }

    // No text within 10 mm of a page's edge.
    for (size_t i = 0; i < m.Pages.size(); ++i) {
        const TPage& p = m.Pages[i];
        const double edge = 10 * kPointsPerMm;
        for (const TWord& w : p.Words) {
            EXPECT_GE(w.Box.left(), edge) << "page " << i + 1 << ": " << w.Text;
            EXPECT_GE(w.Box.top(), edge) << "page " << i + 1 << ": " << w.Text;
            EXPECT_LE(w.Box.right(), p.Width - edge) << "page " << i + 1 << ": " << w.Text;
            EXPECT_LE(w.Box.bottom(), p.Height - edge) << "page " << i + 1 << ": " << w.Text;
        }
    }

    // The contents: each section's number is the page its heading stands on,
    // and its line links there.
    const TPage& contents = m.Pages[1];
    ASSERT_FALSE(contents.Lines().empty());
    EXPECT_EQ(contents.Lines().front(), "Contents");
    const std::map<std::string, int> links = LinkPages(r.OutputFile, 2);
    const std::vector<TPdfSectionHtml> sections = BuildPdfSections(project);
    ASSERT_EQ(sections.size(), project.Topics.Count());
    for (const TPdfSectionHtml& s : sections) {
        SCOPED_TRACE(s.Heading);
        const std::optional<int> number = ContentsNumber(contents, s.Heading);
        ASSERT_TRUE(number.has_value());
        int headingPage = 0;
        for (size_t i = 2; i < m.Pages.size() && headingPage == 0; ++i)
            if (m.Pages[i].HasLine(s.Heading))
                headingPage = static_cast<int>(i + 1);
        EXPECT_EQ(*number, headingPage);
        ASSERT_TRUE(links.contains(s.Heading));
        EXPECT_EQ(links.at(s.Heading), headingPage);
    }

    // The outline mirrors the contents, with each topic's own headings below it.
    EXPECT_EQ(m.Outline, "Welcome to the Sample Manual\n"
                         "  What is inside\n"
                         "Getting Started\n"
                         "  Installing\n"
                         "    System requirements\n"
                         "  Your First Plan\n"
                         "Working with Plans\n"
                         "  Tasks\n"
                         "    Task states\n"
                         "    Subtasks and Checklists\n"
                         "  Views\n"
                         "  Sharing a Plan\n"
                         "Reference\n"
                         "  Settings\n"
                         "    Keyboard Shortcuts\n");
}

TEST(PdfPrintedManual, LongTablesRepeatTheirHeaderAndHiddenHeadingsAreReported) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "proj/";
    p.Title = "Tables";
    const std::string a = "A0000000000000000000000000000001";
    const std::string b = "B0000000000000000000000000000002";
    AddPdfTopic(p, a, "Parts list");
    AddPdfTopic(p, b, "Hidden heading");
    std::string rows;
    for (int i = 1; i <= 120; ++i)
        rows += "<tr><td>Part " + std::to_string(i) + "</td><td>In stock</td></tr>";
    WriteFile(p.TopicHtmlPath(a), "<table><tbody><tr><td>Part name</td><td>Availability</td></tr>" +
                                      rows + "</tbody></table>");
    // The author's style hides the section's heading, so its page cannot be known.
    WriteFile(p.TopicHtmlPath(b), "<style>#" + b + " > h1 { display: none; }</style><p>Body</p>");
    TPublishOptions options;
    options.OutDir = dir / "out";
    const TPublishResult r = PublishPdf(p, options);

    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_NE(r.Warnings[0].find("\"Hidden heading\""), std::string::npos) << r.Warnings[0];
    const TPrintedManual m = ReadManual(r.OutputFile);
    EXPECT_EQ(ContentsNumber(m.Pages[1], "Parts list"), 3);
    EXPECT_EQ(ContentsNumber(m.Pages[1], "Hidden heading"), std::nullopt);
    EXPECT_TRUE(m.Pages[1].HasLine("Hidden heading")) << "the line stays, without a number";

    // The table starts below the section's heading on page 3; every page it
    // runs onto starts with its header row. No row is cut in two: each row's
    // two cells share a line.
    size_t tablePages = 0;
    int rowsSeen = 0;
    for (size_t i = 2; i < m.Pages.size(); ++i) {
        const std::vector<std::string> lines = m.Pages[i].Lines();
        int rowsHere = 0;
        for (const std::string& line : lines)
            if (line.starts_with("Part ") && line != "Part name Availability") {
                EXPECT_TRUE(line.ends_with(" In stock")) << line;
                ++rowsHere;
            }
        if (rowsHere == 0)
            continue;
        ++tablePages;
        rowsSeen += rowsHere;
        const size_t headerLine = i == 2 ? 1 : 0;
        ASSERT_GT(lines.size(), headerLine);
        EXPECT_EQ(lines[headerLine], "Part name Availability") << "page " << i + 1;
    }
    EXPECT_GE(tablePages, 2u);
    EXPECT_EQ(rowsSeen, 120);
}
