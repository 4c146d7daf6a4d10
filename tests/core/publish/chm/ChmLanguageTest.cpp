// The compiled file's code page and language, read back with chmlib: the
// letters of the titles must reach the contents, the index and the topic
// table, and the viewer must be told which code page they are in.
#include "publish/chm/ChmExport.h"

#include "base/PathUtils.h"
#include "publish/chm/ChmCodePage.h"

#include "ChmReader.h"
#include "ChmTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace qm;
using namespace qm::chm;
using namespace qm::test;

namespace {

const std::string kA = "A0000000000000000000000000000000";
const std::string kB = "B0000000000000000000000000000000";
const std::string kC = "C0000000000000000000000000000000";

bool Contains(const std::string& hay, const std::string& needle) {
    return hay.find(needle) != std::string::npos;
}

bool HasTitle(const std::vector<std::string>& titles, const std::string& title) {
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

std::string SitemapName(const std::string& name) {
    return "<param name=\"Name\" value=\"" + name + "\">";
}

} // namespace

TEST(ChmLanguage, FrenchAndGermanTitlesKeepTheirLetters) {
    TChmFixture f;
    f.Project.Title = "Handbuch f\xC3\xBCr Anf\xC3\xA4nger"; // "Handbuch für Anfänger"
    const std::string page = "<p>Texte fran\xC3\xA7"
                             "ais, \xD0\x96 and \xE4\xB8\xAD</p>";
    f.AddTopic(kA, "R\xC3\xA9sum\xC3\xA9", "", &page); // "Résumé"
    f.AddTopic(kB,
               "Gr\xC3\xB6\xC3\x9F"
               "e",
               kA, &page); // "Größe"
    f.AddTopic(kC, "Plain", "", &page).IndexEntries = {"Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                                                       "e"}; // "Crème brûlée"
    const TPublishResult r = PublishChm(f.Project, {});

    const TChmReader chm(r.OutputFile);
    EXPECT_EQ(chm.Language(), 0x409u);
    EXPECT_EQ(chm.Title(), "Handbuch f\xFCr Anf\xE4nger");

    const std::string toc = chm.File("/toc.hhc").value_or("");
    EXPECT_TRUE(Contains(toc, "charset=windows-1252")) << toc;
    EXPECT_TRUE(Contains(toc, SitemapName("R\xE9sum\xE9"))) << toc;
    EXPECT_TRUE(Contains(toc, SitemapName("Gr\xF6\xDF"
                                          "e")))
        << toc;
    const std::string index = chm.File("/index.hhk").value_or("");
    EXPECT_TRUE(Contains(index, SitemapName("Cr\xE8me br\xFBl\xE9"
                                            "e")))
        << index;
    EXPECT_TRUE(Contains(index, SitemapName("R\xE9sum\xE9"))) << index;

    const std::vector<std::string> titles = chm.TopicTitles();
    EXPECT_TRUE(HasTitle(titles, "R\xE9sum\xE9"));
    EXPECT_TRUE(HasTitle(titles, "Gr\xF6\xDF"
                                 "e"));
    EXPECT_TRUE(HasTitle(titles, "Plain"));

    // The pages follow the contents' code page; what it lacks stays as a reference.
    const std::string html = chm.File("/topics/" + kA + ".html").value_or("");
    EXPECT_TRUE(Contains(html, "charset=windows-1252")) << html;
    EXPECT_TRUE(Contains(html, "<title>R\xE9sum\xE9</title>")) << html;
    EXPECT_TRUE(Contains(html, "Texte fran\xE7"
                               "ais, &#1046; and &#20013;"))
        << html;
}

TEST(ChmLanguage, ACyrillicProjectStaysWindows1251) {
    TChmFixture f;
    f.Project.Title = "\xD0\xA0\xD1\x83\xD0\xBA\xD0\xBE\xD0\xB2\xD0\xBE\xD0\xB4\xD1\x81\xD1\x82"
                      "\xD0\xB2\xD0\xBE"; // "Руководство"
    const std::string page = "<p>\xD0\x96\xD1\x83\xD0\xBA \xE2\x80\x94 caf\xC3\xA9</p>";
    // "Установка" with a French title beside it, which the code page lacks.
    f.AddTopic(kA, "\xD0\xA3\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB0", "",
               &page);
    f.AddTopic(kB, "Caf\xC3\xA9", kA, &page);
    const TPublishResult r = PublishChm(f.Project, {});

    const TChmReader chm(r.OutputFile);
    EXPECT_EQ(chm.Language(), 0x419u);
    const std::string title1251 = "\xD0\xF3\xEA\xEE\xE2\xEE\xE4\xF1\xF2\xE2\xEE";
    EXPECT_EQ(chm.Title(), title1251);
    const std::string ustanovka = "\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0";
    const std::string toc = chm.File("/toc.hhc").value_or("");
    // What the compiled file holds is the file written, byte for byte.
    EXPECT_EQ(toc, ReadFile(f.Out("toc.hhc")));
    EXPECT_TRUE(Contains(toc, "charset=windows-1251")) << toc;
    EXPECT_TRUE(Contains(toc, SitemapName(ustanovka))) << toc;
    EXPECT_TRUE(Contains(toc, SitemapName("Cafe"))) << toc;
    EXPECT_TRUE(HasTitle(chm.TopicTitles(), ustanovka));
    EXPECT_TRUE(HasTitle(chm.TopicTitles(), "Cafe"));

    const std::string html = chm.File("/topics/" + kA + ".html").value_or("");
    EXPECT_TRUE(Contains(html, "charset=windows-1251\"><title>" + ustanovka + "</title>")) << html;
    EXPECT_TRUE(Contains(html, "<p>\xC6\xF3\xEA \x97 caf&#233;</p>")) << html;
}
