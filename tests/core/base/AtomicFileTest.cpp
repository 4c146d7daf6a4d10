#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/SystemError.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

std::set<std::string> NamesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        names.insert(e.path().lexically_relative(folder).generic_string());
    return names;
}

// The message of the EFileError that f raises, or "" when it raises none.
template <typename F> std::string FileErrorOf(F f) {
    try {
        f();
    } catch (const EFileError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(CopyToNewFileAtomically, RefusesAnExistingDestination) {
    TTempDir dir;
    WriteFile(dir / "a.png", "new");
    WriteFile(dir / "b.png", "old");
    EXPECT_THROW(CopyToNewFileAtomically(dir / "a.png", dir / "b.png"), EFileError);
    EXPECT_EQ(ReadFile(dir / "b.png"), "old");
    EXPECT_THROW(CopyToNewFileAtomically(dir / "missing.png", dir / "c.png"), EFileError);
    CopyToNewFileAtomically(dir / "a.png", dir / "c.png");
    EXPECT_EQ(ReadFile(dir / "c.png"), "new");
    EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{"a.png", "b.png", "c.png"}));
}

TEST(CopyToNewFileAtomically, CopiesOnlyARegularFileAndSaysWhyNot) {
    TTempDir dir;
    WriteFile(dir / "real.png", "png");
    fs::create_symlink(dir / "real.png", dir / "link.png");
    fs::create_directory(dir / "folder.png");
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    struct Case {
        const char* source;
        const char* cause;
    };
    // A link is refused even to a good file: the caller checked the path it
    // resolved, and the copy must read that file, not what a link names now.
    const Case cases[] = {
        {"link.png", std::strerror(ELOOP)},
        {"folder.png", "is a folder"},
        {"pipe.png", "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string message =
            FileErrorOf([&] { CopyToNewFileAtomically(dir / c.source, dir / "copy.png"); });
        EXPECT_NE(message.find(c.cause), std::string::npos) << message;
        EXPECT_FALSE(fs::exists(dir / "copy.png"));
    }
}

// A copy cut short must leave nothing under the real name (a truncated image
// would be published) and no temporary file. The file-size limit makes
// write() fail partway, as a full disk does.
TEST(CopyToNewFileAtomically, FailedCopyLeavesNothingAndNamesTheCause) {
    TTempDir dir;
    WriteFile(dir / "src/big.png", std::string(200000, 'x'));
    fs::create_directory(dir / "dst");

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const std::string message =
        FileErrorOf([&] { CopyToNewFileAtomically(dir / "src/big.png", dir / "dst/big.png"); });
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
    EXPECT_TRUE(NamesIn(dir / "dst").empty());
}

TEST(WriteNewFileAtomically, NeverReplacesAFile) {
    TTempDir dir;
    WriteNewFileAtomically(dir / "a.css", "body{}");
    EXPECT_EQ(ReadFile(dir / "a.css"), "body{}");
    EXPECT_THROW(WriteNewFileAtomically(dir / "a.css", "p{}"), EFileError);
    EXPECT_EQ(ReadFile(dir / "a.css"), "body{}");
    EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{"a.css"}));
}

TEST(TemporaryFiles, RecognisesOnlyTheNamesAtomicWritesUse) {
    struct Case {
        const char* name;
        bool temporary;
    };
    const Case cases[] = {
        {"page.html.tmp-Ab3xY9", true},   {"photo.png.tmp-000000", true},
        {"page.html.tmp-qm", true},       {"page.html.tmp-Ab3xY", false}, // five characters
        {"page.html.tmp-Ab3xY90", false},                                 // seven
        {"page.html.tmp-Ab_xY9", false},  {".tmp-Ab3xY9", false}, // nothing it was written for
        {"page.tmp.html", false},         {"notes-tmp-Ab3xY9", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsTemporaryFileName(c.name), c.temporary) << c.name;
}

TEST(TemporaryFiles, RemovesLeftoversAtEveryDepthButNotThroughLinks) {
    TTempDir dir;
    TTempDir elsewhere;
    WriteFile(dir / "assets/images/a.png", "a");
    WriteFile(dir / "assets/images/a.png.tmp-Xy12Z3", "half");
    WriteFile(dir / "assets/css/deep/s.css.tmp-qm", "half");
    WriteFile(elsewhere / "b.png.tmp-Xy12Z3", "not ours");
    fs::create_directory_symlink(elsewhere.Path(), dir / "assets/linked");

    EXPECT_EQ(RemoveTemporaryFiles(dir / "assets"), 2u);
    EXPECT_EQ(NamesIn(dir / "assets"),
              (std::set<std::string>{"images", "images/a.png", "css", "css/deep", "linked"}));
    EXPECT_TRUE(fs::exists(elsewhere / "b.png.tmp-Xy12Z3"));
}

TEST(SystemErrorText, NamesTheCauseInPlainWords) {
    EXPECT_EQ(SystemErrorText(ENOSPC), "disk full (no space left on the device)");
    EXPECT_EQ(SystemErrorText(EISDIR), "is a folder");
    EXPECT_EQ(SystemErrorText(EACCES), std::strerror(EACCES));
    EXPECT_EQ(SystemErrorText(std::make_error_code(std::errc::no_space_on_device)),
              "disk full (no space left on the device)");
}
