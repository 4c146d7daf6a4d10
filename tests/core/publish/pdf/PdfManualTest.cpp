// The manual page: its exact lines, which topics get a section and in what
// order, and where topic links point.
#include "publish/pdf/PdfManual.h"

#include "publish/pdf/PdfHeading.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"

#include "PdfTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

namespace {

std::string Listing(const std::vector<TPdfSection>& sections) {
    std::string s;
    for (const TPdfSection& x : sections)
        s += x.Id + "@" + std::to_string(x.Depth) + " ";
    return s;
}

} // namespace

// The fixture covers the head lines with an escaped title, sections in
// contents order with h1/h2 headings, an excluded topic whose child is left
// out with it, a chain down to depth 7 (h6 from depth 5 on), a missing and an
// empty page (empty body lines), line breaks inside a page kept as they are,
// a byte-order mark dropped, variables expanded, own headers (text with a
// numeric no-break space; markup only, giving the title) and every kind of
// topic link, inner headings and a table.
TEST(PdfManual, FixtureManualIsExact) {
    TDocProject project;
    LoadPdfFixture("Handbook", project);
    // Numbers for the first two sections, a heading that was not found (0)
    // and none for the rest.
    TPdfManualPass pass;
    pass.Date = "2026-01-02";
    pass.PageNumbers = {3, 4, 0};
    ExpectMatchesGolden(BuildPdfManual(project, pass), "Handbook.manual.html");
}

TEST(PdfManual, TheFirstPrintMarksEachHeadingAndIsOtherwiseTheSame) {
    TDocProject project;
    LoadPdfFixture("Handbook", project);
    const std::vector<TPdfSectionHtml> sections = BuildPdfSections(project);
    TPdfManualPass pass;
    pass.Date = "2026-01-02";
    const std::string plain = AssemblePdfManual(project.Title, sections, pass);
    pass.Markers = true;
    std::string marked = AssemblePdfManual(project.Title, sections, pass);
    for (size_t i = 0; i < sections.size(); ++i) {
        const std::string span =
            "<span class=\"qm-pdf-mark\">qmpdfmark" + std::to_string(i) + "q</span>";
        const size_t at = marked.find(span);
        ASSERT_NE(at, std::string::npos) << span;
        EXPECT_EQ(marked.substr(at - 3, 2), PdfHeadingTag(sections[i].Depth))
            << "inside the heading";
        marked.erase(at, span.size());
    }
    EXPECT_EQ(marked, plain);
}

TEST(PdfManual, SectionsFollowTheContentsAndSkipExcludedSubtrees) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "proj/";
    AddPdfTopic(p, "A", "A");
    AddPdfTopic(p, "A1", "A1", "A");
    AddPdfTopic(p, "A2", "A2", "A");
    AddPdfTopic(p, "X", "X", "A2").ExcludePdf = true;
    AddPdfTopic(p, "X1", "X1", "X");
    AddPdfTopic(p, "B", "B");
    p.RootTopicIDs.insert(p.RootTopicIDs.begin() + 1, "NOT-A-TOPIC");
    EXPECT_EQ(Listing(PdfSectionsInOrder(p)), "A@0 A1@1 A2@1 B@0 ");
}

TEST(PdfManual, DamagedTreesEndWithEachTopicOnceAtItsFirstPlace) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "proj/";
    AddPdfTopic(p, "A", "A");
    AddPdfTopic(p, "B", "B", "A");
    AddPdfTopic(p, "C", "C", "B");
    p.GetTopic("B").Children.push_back("A"); // a cycle back to the root
    p.GetTopic("C").Children.push_back("C"); // a topic that is its own child
    p.GetTopic("A").Children.push_back("C"); // a child listed under two parents
    p.RootTopicIDs.push_back("B");           // and a child listed as a root as well
    EXPECT_EQ(Listing(PdfSectionsInOrder(p)), "A@0 B@1 C@2 ");

    // Every section of the manual once, and the manual ends.
    const std::string manual = BuildPdfManual(p);
    for (const char* id : {"A", "B", "C"})
        EXPECT_EQ(FindInOrder(manual, {"<section id=\"" + std::string(id) + "\">",
                                       "<section id=\"" + std::string(id) + "\">"})[1],
                  std::string::npos)
            << id;
}

TEST(PdfManual, AVeryDeepTreeIsWalkedWithoutRecursion) {
    TDocProject p;
    p.RootPath = "/nonexistent/";
    constexpr size_t kDepth = 100000;
    std::string parent;
    for (size_t i = 0; i < kDepth; ++i) {
        const std::string id = "T" + std::to_string(i);
        AddPdfTopic(p, id, id, parent);
        parent = id;
    }
    const std::vector<TPdfSection> sections = PdfSectionsInOrder(p);
    ASSERT_EQ(sections.size(), kDepth);
    EXPECT_EQ(sections.back().Id, "T" + std::to_string(kDepth - 1));
    EXPECT_EQ(sections.back().Depth, kDepth - 1);
}

TEST(PdfManual, TopicLinksBecomeFragments) {
    TDocProject p;
    p.RootPath = "/nonexistent/";
    const std::string present = "0123456789ABCDEF0123456789ABCDEF";
    const std::string excluded = "FEDCBA9876543210FEDCBA9876543210";
    AddPdfTopic(p, present, "Present");
    AddPdfTopic(p, excluded, "Excluded").ExcludePdf = true;
    const TDocLinkTarget rule = PdfDocLinkTarget(p);
    struct Case {
        std::string id;
        std::string href;
    };
    const Case cases[] = {
        {present, "#" + present},
        {excluded, "#" + excluded}, // the section is absent, the link still names it
        {"00000000000000000000000000000000", "#"},
        {AsciiLower(present), "#"}, // ids are looked up as written
    };
    for (const Case& c : cases)
        EXPECT_EQ(rule(c.id), c.href) << c.id;
}

TEST(PdfManual, IdsThatCannotNameAFileNeverBecomePaths) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "proj/";
    // A naive "topics/" + id + ".html" would read these files.
    WriteFile(dir / "proj/secret.html", "<p>outside the topics folder</p>");
    WriteFile(dir / "proj/topics/a\"b.html", "<p>a file no id may name</p>");
    AddPdfTopic(p, "../secret", "Climber");
    AddPdfTopic(p, "a\"b", "Quoted");
    const std::string manual = BuildPdfManual(p);
    EXPECT_EQ(manual.find("outside the topics folder"), std::string::npos);
    EXPECT_EQ(manual.find("a file no id may name"), std::string::npos);
    // Each still gets its section, with an empty body and an intact attribute.
    EXPECT_NE(FindInOrder(manual, {"<section id=\"../secret\">\r\n<h1>Climber</h1>\r\n\r\n",
                                   "<section id=\"a&quot;b\">\r\n<h1>Quoted</h1>\r\n\r\n"})[1],
              std::string::npos)
        << manual;
}

TEST(PdfManual, ReportsProgressAndStopsWhenCancelled) {
    TDocProject p;
    LoadPdfFixture("Handbook", p);
    const size_t total = PdfSectionsInOrder(p).size();
    std::vector<size_t> done;
    (void)BuildPdfSections(p, [&](size_t d, size_t t) {
        EXPECT_EQ(t, total);
        done.push_back(d);
    });
    ASSERT_EQ(done.size(), total);
    for (size_t i = 0; i < total; ++i)
        EXPECT_EQ(done[i], i + 1);

    TCancellationToken token;
    done.clear();
    EXPECT_THROW((void)BuildPdfSections(
                     p,
                     [&](size_t d, size_t) {
                         done.push_back(d);
                         if (d == 2)
                             token.Cancel();
                     },
                     &token),
                 EPublishCancelled);
    EXPECT_EQ(done.size(), 2u);
}
