// Pages that name files they have no business publishing: every way a
// reference can lead out of the page's folder, or to a file no author means
// to import, is refused and reported; the reference stays as written.
#include "base/Error.h"
#include "base/PathUtils.h"
#include "import/HtmlImport.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

// dir/site/secret.png, .../page/..., a project beside them.
class ImportBoundaryTest : public ::testing::Test {
protected:
    ImportBoundaryTest() {
        WriteFile(dir / "site/secret.png", "secret");
        WriteFile(dir / "site/secret.css", "body{}");
        WriteFile(dir / "site/page/img/ok.png", "ok");
        WriteFile(dir / "site/page/.hidden.png", "hidden");
        WriteFile(dir / "site/page/.git/config.png", "git");
        fs::create_directory(dir / "site/page/folder.png");
        fs::create_symlink("/etc/passwd", dir / "site/page/passwd.png");
        fs::create_symlink("../secret.png", dir / "site/page/up.png");
        fs::create_symlink("img/ok.png", dir / "site/page/alias.png");
        fs::create_symlink("/etc", dir / "site/page/etc");
        fs::create_symlink("nowhere.png", dir / "site/page/dangling.png");
        ::mkfifo((dir / "site/page/pipe.png").c_str(), 0600);
    }
    [[nodiscard]] THtmlImportResult Import(const std::string& body,
                                           const THtmlImportOptions& options = {}) const {
        WriteFile(dir / "site/page/index.html", "<html><body>" + body + "</body></html>");
        return ImportHtmlFile(dir / "project/", dir / "site/page/index.html", options);
    }
    [[nodiscard]] std::set<std::string> Copies() const {
        std::set<std::string> names;
        if (fs::exists(dir / "project/assets"))
            for (const auto& e : fs::recursive_directory_iterator(dir / "project/assets"))
                if (!e.is_directory())
                    names.insert(e.path().filename().string());
        return names;
    }
    TTempDir dir;
};

} // namespace

TEST_F(ImportBoundaryTest, HostileReferencesStayAndAreReported) {
    struct Case {
        const char* name;
        std::string reference;
        TRefusal why;
    };
    const std::string up = "../../../../../../../../../../..";
    const Case cases[] = {
        {"climbing out", "../secret.png", TRefusal::Outside},
        {"climbing to the root", up + "/etc/passwd", TRefusal::Outside},
        {"absolute path", "/etc/passwd", TRefusal::Outside},
        {"file URL", "file:///etc/passwd", TRefusal::Outside},
        {"file URL to the site", "file://" + dir / "site/secret.png", TRefusal::Outside},
        {"escaped dots", "%2e%2e/secret.png", TRefusal::Outside},
        {"escaped slash", "..%2fsecret.png", TRefusal::Outside},
        {"link out of the system", "passwd.png", TRefusal::Outside},
        {"link up one folder", "up.png", TRefusal::Outside},
        {"through a folder link", "etc/passwd", TRefusal::Outside},
        {"hidden file", ".hidden.png", TRefusal::Hidden},
        {"hidden folder", ".git/config.png", TRefusal::Hidden},
        {"a folder", "folder.png", TRefusal::NotRegularFile},
        {"a pipe", "pipe.png", TRefusal::NotRegularFile},
        {"a dangling link", "dangling.png", TRefusal::NotRegularFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string img = "<img src=\"" + c.reference + "\">";
        const THtmlImportResult r = Import(img);
        EXPECT_EQ(r.Html, img);
        ASSERT_EQ(r.Refused.size(), 1u);
        EXPECT_EQ(r.Refused[0].Reference, c.reference);
        EXPECT_EQ(r.Refused[0].Why, c.why);
        EXPECT_TRUE(Copies().empty());
    }
}

TEST_F(ImportBoundaryTest, StyleSheetsAndTheirReferencesAreHeldToTheSameRule) {
    WriteFile(dir / "site/page/css/own.css",
              "@import \"../../secret.css\";\nb{background:url(../../secret.png)}\n"
              "i{background:url(../img/ok.png)}");
    const THtmlImportResult r = Import(
        "<link rel=stylesheet href=\"../secret.css\">"
        "<link rel=stylesheet href=\"css/own.css\"><img srcset=\"up.png 2x, img/ok.png 1x\">");
    std::vector<std::string> refused;
    for (const TRefusedReference& ref : r.Refused)
        refused.push_back(ref.Reference);
    EXPECT_EQ(refused, (std::vector<std::string>{"../secret.css", "../../secret.css",
                                                 "../../secret.png", "up.png"}));
    EXPECT_EQ(Copies(), (std::set<std::string>{"own.css", "ok.png"}));
    const std::string css = ReadFile(dir / "project/assets/css/own.css");
    EXPECT_NE(css.find("url(\"../../secret.png\")"), std::string::npos) << css;
    EXPECT_NE(css.find("url(\"ok.png\")"), std::string::npos) << css;
}

TEST_F(ImportBoundaryTest, LinksThatStayInsideAreCopiedAsTheirFiles) {
    const THtmlImportResult r = Import("<img src=\"alias.png\"><img src=\"img/ok.png\">");
    EXPECT_TRUE(r.Refused.empty());
    // One file behind two names: one copy.
    EXPECT_EQ(r.Html, "<img src=\"assets/images/ok.png\"><img src=\"assets/images/ok.png\">");
    EXPECT_EQ(ReadFile(dir / "project/assets/images/ok.png"), "ok");
}

TEST_F(ImportBoundaryTest, AnAssetRootWidensTheRuleButNotForHiddenFiles) {
    WriteFile(dir / "site/.private/key.png", "key");
    THtmlImportOptions options;
    options.AssetRoot = dir / "site";
    const THtmlImportResult r = Import(
        "<img src=\"../secret.png\"><img src=\"../.private/key.png\"><img src=\"passwd.png\">",
        options);
    EXPECT_EQ(r.Html, "<img src=\"assets/images/secret.png\"><img src=\"../.private/key.png\">"
                      "<img src=\"passwd.png\">");
    ASSERT_EQ(r.Refused.size(), 2u);
    EXPECT_EQ(r.Refused[0].Why, TRefusal::Hidden);
    EXPECT_EQ(r.Refused[1].Why, TRefusal::Outside);
    EXPECT_EQ(Copies(), (std::set<std::string>{"secret.png"}));
}

TEST_F(ImportBoundaryTest, TheAuthorIsAskedOnceAboutEveryOutsideFileBeforeAnyCopy) {
    const std::string page = "<link rel=stylesheet href=\"../secret.css\"><img src=\"img/ok.png\">"
                             "<img src=\"../secret.png\"><img src=\"%2e%2e/secret.png\">"
                             "<img src=\".hidden.png\">";
    const std::string site = fs::canonical(dir / "site").string();
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer);
        fs::remove_all(dir / "project");
        std::vector<std::vector<std::string>> asked;
        THtmlImportOptions options;
        options.AllowOutsideFiles = [&](const std::vector<std::string>& files) {
            asked.push_back(files);
            EXPECT_TRUE(Copies().empty()) << "asked after copying";
            return answer;
        };
        const THtmlImportResult r = Import(page, options);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], (std::vector<std::string>{site + "/secret.css", site + "/secret.png"}));
        if (answer) {
            EXPECT_EQ(Copies(), (std::set<std::string>{"secret.css", "ok.png", "secret.png"}));
            ASSERT_EQ(r.Refused.size(), 1u); // the hidden file is never offered
            EXPECT_EQ(r.Refused[0].Why, TRefusal::Hidden);
        } else {
            EXPECT_EQ(Copies(), (std::set<std::string>{"ok.png"}));
            EXPECT_EQ(r.Refused.size(), 4u);
        }
    }
}
