#include "import/HtmlImport.h"
#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/Regex.h"
#include "base/StringUtil.h"
#include "import/ImportPaths.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

const std::string kSavedPage =
    std::string(QUILLMATE_SOURCE_DIR) + "/tests/core/import/data/saved-page";

// Every file under a folder, by path relative to it.
std::map<std::string, std::string> FilesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            files[fs::relative(e.path(), folder).string()] = ReadFile(e.path().string());
    return files;
}

// The local references of a text: group 2 of the expression, split into its
// URLs when group 1 names a srcset.
std::vector<std::string> LocalReferences(const std::string& text, const TRegex& re) {
    std::vector<std::string> refs;
    re.ForEachMatch(text, [&](const TRegexMatch& m) {
        const std::string value(m.Group(2));
        const bool isList = SameTextAscii(m.Group(1), "srcset");
        for (size_t pos = 0; pos <= value.size();) {
            const size_t end = isList ? std::min(value.find(',', pos), value.size()) : value.size();
            std::string url = TrimCtl(value.substr(pos, end - pos));
            if (isList)
                url = url.substr(0, url.find(' '));
            if (!IsExternalReference(url))
                refs.push_back(url);
            pos = end + 1;
        }
    });
    return refs;
}

// True when the reference names an existing file inside the project folder.
bool ResolvesInside(const std::string& folder, const std::string& ref, const std::string& root) {
    const std::string path = ExpandFullPath(JoinPath(folder, ref));
    return FileExists(path) && StartsWith(path, IncludeTrailingPathDelimiter(ExpandFullPath(root)));
}

} // namespace

TEST(ImportHtmlFile, SavedWebPageBringsEveryFileOnceAndResolvesInside) {
    TTempDir dir;
    const std::string root = dir / "Manual/";
    const THtmlImportResult result = ImportHtmlFile(root, kSavedPage + "/Article.html");
    const std::optional<std::string>& html = result.Html;
    ASSERT_TRUE(html);
    EXPECT_TRUE(result.Refused.empty());

    // Every file the imported content refers to is copied exactly once: the
    // copies hold the sources' bytes (style sheets are rewritten instead and
    // counted by name). Only the icon and the script are left behind.
    const auto sources = FilesUnder(kSavedPage);
    const auto copies = FilesUnder(root + "assets");
    std::set<std::string> notImported = {"Article.html", "Article_files/favicon.ico",
                                         "Article_files/analytics.js"};
    size_t expectedCopies = 0;
    for (const auto& [rel, bytes] : sources) {
        if (notImported.count(rel) != 0)
            continue;
        ++expectedCopies;
        if (EndsWith(rel, ".css")) {
            const std::string copy = "css/" + ExtractFileName(rel);
            ASSERT_TRUE(copies.count(copy)) << rel;
            EXPECT_TRUE(StartsWith(copies.at(copy), "\xEF\xBB\xBF")) << rel;
            continue;
        }
        const auto same = std::count_if(copies.begin(), copies.end(),
                                        [&](const auto& c) { return c.second == bytes; });
        EXPECT_EQ(same, 1) << rel;
    }
    EXPECT_EQ(copies.size(), expectedCopies);

    // Every local reference of the HTML and of the copied style sheets
    // resolves inside the project.
    const TRegex htmlRef(R"re(\b(src|href|poster|data|srcset)\s*=\s*"([^"]*)")re",
                         {.Caseless = true});
    const TRegex cssRef(R"re((url)\(\s*"([^"]*)"\s*\))re", {.Caseless = true});
    const std::vector<std::string> htmlRefs = LocalReferences(*html, htmlRef);
    EXPECT_GE(htmlRefs.size(), 12u);
    for (const std::string& ref : htmlRefs)
        EXPECT_TRUE(ResolvesInside(root, ref, root)) << ref;
    for (const auto& [rel, bytes] : copies) {
        if (!EndsWith(rel, ".css"))
            continue;
        for (const std::string& ref : LocalReferences(bytes, cssRef))
            EXPECT_TRUE(ResolvesInside(root + "assets/css", ref, root)) << rel << ": " << ref;
    }

    // The cleaning: styles in front, the body's attributes on a wrapper, no
    // scripts, layout elements as plain blocks, style attributes untouched.
    EXPECT_TRUE(StartsWith(*html, "<link rel=\"stylesheet\" href=\"assets/css/site.css\">\r\n"
                                  "<link rel=\"stylesheet\" href=\"assets/css/print.css\">\r\n"
                                  "<link rel=\"stylesheet\" "
                                  "href=\"https://fonts.example.com/css?family=Serif\">\r\n"
                                  "<style>"))
        << *html;
    EXPECT_NE(
        html->find("<div class=\"article &amp;amp; guide\" lang=\"en\"><div class=\"masthead\">"),
        std::string::npos);
    EXPECT_TRUE(EndsWith(*html, "</div>"));
    for (const char* gone : {"<script", "<section", "<article", "<figure", "<main", "<header",
                             "<footer", "<picture", "<template", "<time", "<title", "<meta",
                             "favicon", "display: grid", "display:inline-flex"})
        EXPECT_EQ(html->find(gone), std::string::npos) << gone;
    EXPECT_NE(html->find("<p style=\"display:flex; color:#333\">"), std::string::npos);
    EXPECT_NE(html->find("<span datetime=\"2023-01-15\">January</span>"), std::string::npos);
    EXPECT_NE(html->find("<video controls width=\"640\" poster=\"assets/images/clip-poster.png\">"),
              std::string::npos);
}

TEST(ImportHtmlFile, AnsiPageIsReadAsWindows1252) {
    TTempDir dir;
    WriteFile(dir / "old.htm", "<html><body><p>Caf\xE9 \x93quoted\x94</p></body></html>");
    EXPECT_EQ(ImportHtmlFile(dir / "project/", dir / "old.htm").Html,
              "<p>Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D</p>");
}

TEST(ImportHtmlFile, NothingToImport) {
    TTempDir dir;
    WriteFile(dir / "script.html", "<html><body>\n<script>go()</script>\n</body></html>");
    EXPECT_EQ(ImportHtmlFile(dir / "project/", dir / "script.html").Html, std::nullopt);
    // The wrapper alone counts as content, as the page's classes would.
    WriteFile(dir / "styled.html", "<body class=\"x\"><script>go()</script></body>");
    EXPECT_EQ(ImportHtmlFile(dir / "project/", dir / "styled.html").Html,
              "<div class=\"x\"></div>");
    EXPECT_THROW((void)ImportHtmlFile(dir / "project/", dir / "missing.html"), EFileError);
}
