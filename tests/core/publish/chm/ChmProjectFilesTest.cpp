#include "publish/chm/ChmProjectFiles.h"

#include "base/Error.h"

#include "ChmTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::chm;
using namespace qm::test;

namespace {

const std::string kA = "A0000000000000000000000000000000";
const std::string kA1 = "A1000000000000000000000000000000";
const std::string kA2 = "A2000000000000000000000000000000";
const std::string kB = "B0000000000000000000000000000000";
const std::string kB1 = "B1000000000000000000000000000000";
const std::string kEvil = "..";

// Lines joined as the help compiler's files have them: CR LF after each.
std::string Crlf(const std::vector<std::string>& lines) {
    std::string r;
    for (const auto& l : lines)
        r += l + "\r\n";
    return r;
}

std::vector<std::string> Entry(const std::string& name, const std::string& id) {
    return {"<LI><OBJECT type=\"text/sitemap\">", "<param name=\"Name\" value=\"" + name + "\">",
            "<param name=\"Local\" value=\"topics/" + id + ".html\">", "</OBJECT>"};
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

// Root topics A and B, in the dictionary B first. A has A1 and A2 (A2
// excluded); B has only B1, which is excluded; a topic whose id is ".." sits
// at the root with A1 below it too.
struct ChmProjectFilesFixture : ::testing::Test {
    TChmFixture f;

    ChmProjectFilesFixture() {
        f.AddTopic(kB, "\xD0\x91\xD0\xB5\xD1\x82\xD0\xB0 & \xE2\x82\xAC", ""); // "Бета & €"
        f.AddTopic(kA, "Alpha \"quoted\" <b>", "");
        f.AddTopic(kA1,
                   "\xC3\x87"
                   "a va \xE4\xB8\xAD",
                   kA); // "Ça va 中"
        f.AddTopic(kA2, "Hidden", kA).ExcludeChm = true;
        f.AddTopic(kB1, "Hidden too", kB).ExcludeChm = true;
        f.AddTopic(kEvil, "Evil", "");
        f.Project.GetTopic(kEvil).Children.push_back(kA1);
        f.Project.RootTopicIDs = {kA, kB, kEvil};
        f.Project.GetTopic(kA1).IndexEntries = {"greeting", " greeting ",
                                                "\xC3\x87"
                                                "a va \xE4\xB8\xAD",
                                                "", "say \"hi\""};
        f.Project.GetTopic(kA2).IndexEntries = {"never"};
    }
};

} // namespace

TEST_F(ChmProjectFilesFixture, ContentsFileIsExact) {
    std::vector<std::string> lines = {
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">",
        "<HTML>",
        "<HEAD>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">",
        "</HEAD>",
        "<BODY>",
        "<OBJECT type=\"text/site properties\"></OBJECT>",
        "<UL>",
    };
    Append(lines, Entry("Alpha &quot;quoted&quot; &lt;b&gt;", kA));
    lines.push_back("<UL>");
    Append(lines, Entry("Ca va ?", kA1));
    lines.push_back("</UL>");
    Append(lines, Entry("\xC1\xE5\xF2\xE0 &amp; \x88", kB));
    lines.push_back("<UL>");
    lines.push_back("</UL>");
    Append(lines, {"</UL>", "</BODY>", "</HTML>"});

    // Cyrillic titles keep the project in Windows-1251.
    ASSERT_EQ(ChooseChmCodePage(f.Project), TChmCodePage::Windows1251);
    EXPECT_TRUE(WriteChmContents(f.Project, f.OutDir(), TChmCodePage::Windows1251).empty());
    EXPECT_EQ(ReadFile(f.Out("toc.hhc")), Crlf(lines));
}

TEST_F(ChmProjectFilesFixture, IndexFileListsTitlesAndIndexEntriesInDictionaryOrder) {
    std::vector<std::string> lines = {"<HTML><BODY><UL>"};
    Append(lines, Entry("\xC1\xE5\xF2\xE0 &amp; \x88", kB));
    Append(lines, Entry("Alpha &quot;quoted&quot; &lt;b&gt;", kA));
    Append(lines, Entry("Ca va ?", kA1));
    Append(lines, Entry("greeting", kA1));
    Append(lines, Entry("say &quot;hi&quot;", kA1));
    lines.push_back("</UL></BODY></HTML>");

    WriteChmIndex(f.Project, f.OutDir(), TChmCodePage::Windows1251);
    EXPECT_EQ(ReadFile(f.Out("index.hhk")), Crlf(lines));
}

TEST_F(ChmProjectFilesFixture, ProjectFileIsExact) {
    WriteFile(f.Out("assets/images/a.png"), "png");
    WriteFile(f.Out("assets/files/b.pdf"), "pdf");
    WriteFile(f.Out("assets/Z.css"), "css");
    WriteFile(f.Out("assets/files/deep/c d.txt"), "txt");
    std::filesystem::create_directories(f.Out("assets/empty"));

    WriteChmProject(f.OutDir(), "help.chm", {"topics/" + kB + ".html", "topics/" + kA + ".html"},
                    " Handbook\r\nvolume 2 ", TChmCodePage::Windows1251);
    EXPECT_EQ(ReadFile(f.Out("project.hhp")), Crlf({
                                                  "[OPTIONS]",
                                                  "Compiled file=help.chm",
                                                  "Contents file=toc.hhc",
                                                  "Index file=index.hhk",
                                                  "Default topic=topics/" + kB + ".html",
                                                  "Full-text search=Yes",
                                                  "Language=0x419",
                                                  "Title=Handbook  volume 2",
                                                  "",
                                                  "[FILES]",
                                                  "toc.hhc",
                                                  "index.hhk",
                                                  "topics/" + kB + ".html",
                                                  "topics/" + kA + ".html",
                                                  "style.css",
                                                  "assets/files\\b.pdf",
                                                  "assets/files\\deep\\c d.txt",
                                                  "assets/images\\a.png",
                                                  "assets/Z.css",
                                              }));
}

TEST_F(ChmProjectFilesFixture, ProjectFileWithoutAssetsEndsWithTheStyleSheet) {
    WriteChmProject(f.OutDir(), "help.chm", {"topics/" + kA + ".html"}, "",
                    TChmCodePage::Windows1251);
    const std::string text = ReadFile(f.Out("project.hhp"));
    EXPECT_TRUE(text.ends_with("\r\ntopics/" + kA + ".html\r\nstyle.css\r\n")) << text;
}

TEST_F(ChmProjectFilesFixture, ProjectFileNeedsAPage) {
    EXPECT_THROW(WriteChmProject(f.OutDir(), "help.chm", {}, "T", TChmCodePage::Windows1251),
                 EQuillmateError);
    EXPECT_FALSE(std::filesystem::exists(f.Out("project.hhp")));
}
