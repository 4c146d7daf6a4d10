#include "base/PathUtils.h"
#include "base/Error.h"
#include "base/StringUtil.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qm;
using qm::test::TTempDir;

TEST(JoinPath, JoinsAsTheProjectFilesExpect) {
    struct Case {
        const char* base;
        const char* rel;
        const char* expected;
    };
    const Case cases[] = {
        {"/p", "", "/p/"},
        {"/p/", "", "/p/"},
        {"/p/", "topics\\a.html", "/p/topics/a.html"}, // stored backslashes are separators
        {"/p", "topics/a.html", "/p/topics/a.html"},
        {"/p", "/x.css", "/x.css"}, // rooted part wins
        {"/p", "\\x", "/x"},
        {"/p", "D:\\x.css", "D:/x.css"}, // drive designation counts as rooted
        {"/p", "a/../b", "/p/a/../b"},   // nothing normalised
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinPath(c.base, c.rel), c.expected) << c.base << " + " << c.rel;
}

TEST(JoinPath, RejectsCharactersNoPathMayHold) {
    for (const char* rel : {"a?b", "a*b", "a\"b", "a<b", "a>b", "a|b", "a\tb"})
        EXPECT_THROW((void)JoinPath("/p", rel), EInvalidPath) << rel;
    EXPECT_NO_THROW((void)JoinPath("/p?", "ok")); // the base is not tested
}

TEST(SafeFileNamePart, MakesFileNamePieces) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"   ", "topic"},   {" a/b:c ", "a_b_c"}, {"x?y*z", "x_y_z"},
                          {"a b.c", "a b.c"}, {"\"<>|\\", "_____"}, {"0123ABCD", "0123ABCD"}};
    for (const auto& c : cases)
        EXPECT_EQ(SafeFileNamePart(c.in), c.out) << c.in;
}

TEST(TextFiles, ByteOrderMarkSkippedOnReadAndNeverWritten) {
    TTempDir dir;
    qm::test::WriteFile(dir / "bom.txt", "\xEF\xBB\xBFhello");
    EXPECT_EQ(ReadTextFileUtf8(dir / "bom.txt"), "hello");

    WriteTextFileUtf8(dir / "deep/chain/of/folders/out.txt", "caf\xC3\xA9\r\n");
    EXPECT_EQ(qm::test::ReadFile(dir / "deep/chain/of/folders/out.txt"), "caf\xC3\xA9\r\n");

    WriteTextFileUtf8(dir / "empty.txt", "");
    EXPECT_EQ(std::filesystem::file_size(dir / "empty.txt"), 0u);
}

TEST(TextFiles, WriteIfChangedLeavesAFileHoldingTheBytesAlone) {
    TTempDir dir;
    const std::string path = dir / "meta/header.html";
    struct TCase {
        const char* name;
        const char* before; // nullptr: no file
        bool wrote;
    };
    const TCase cases[] = {
        {"no file yet", nullptr, true},
        {"the same bytes", "<b>T</b>", false},
        {"other bytes", "<b>U</b>", true},
        {"the same text after a byte-order mark", "\xEF\xBB\xBF<b>T</b>", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        if (c.before != nullptr)
            qm::test::WriteFile(path, c.before);
        const auto inode = [&] {
            struct stat st {};
            return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
        };
        const auto before = inode();
        EXPECT_EQ(WriteTextFileUtf8IfChanged(path, "<b>T</b>"), c.wrote);
        EXPECT_EQ(qm::test::ReadFile(path), "<b>T</b>");
        // A skipped write must not even replace the file (its time and
        // inode are what version control and editors watch).
        if (!c.wrote) {
            EXPECT_EQ(inode(), before);
        }
    }
    std::filesystem::create_directories(dir / "folder.html");
    EXPECT_THROW(WriteTextFileUtf8IfChanged(dir / "folder.html", "x"), std::exception);
}

TEST(TextFiles, ReadFailsOnMissingFileAndInvalidUtf8) {
    TTempDir dir;
    EXPECT_THROW((void)ReadTextFileUtf8(dir / "missing.txt"), EFileError);
    for (const char* bad : {"\xC3", "a\xFF", "\xED\xA0\x80", "\xC0\xAF"}) {
        qm::test::WriteFile(dir / "bad.txt", bad);
        EXPECT_THROW((void)ReadTextFileUtf8(dir / "bad.txt"), EEncodingError);
    }
}

// A write that runs out of space must leave the old file whole and no
// temporary file behind. The file-size limit makes write() fail the way a
// full disk does.
TEST(TextFiles, FailedWriteLeavesTheOldFileIntact) {
    TTempDir dir;
    const std::string target = dir / "page.html";
    WriteTextFileUtf8(target, "old content");

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &tiny);
    bool threw = false;
    try {
        WriteTextFileUtf8(target, std::string(100000, 'x'));
    } catch (const EFileError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_TRUE(threw);
    EXPECT_EQ(qm::test::ReadFile(target), "old content");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1) << "a temporary file was left behind";
}

// A folder where a file is expected used to surface as the stream's own
// "basic_filebuf::underflow error"; the cause is what the author must read.
TEST(TextFiles, ErrorsNameTheRealCause) {
    TTempDir dir;
    std::filesystem::create_directory(dir / "folder.html");
    qm::test::WriteFile(dir / "file", "x");
    struct Case {
        const char* name;
        std::function<void()> action;
        std::string cause;
    };
    const Case cases[] = {
        {"read a folder", [&] { (void)ReadFileBytes(dir / "folder.html"); }, "is a folder"},
        {"read a folder as text", [&] { (void)ReadTextFileUtf8(dir / "folder.html"); },
         "is a folder"},
        {"read a missing file", [&] { (void)ReadFileBytes(dir / "missing"); },
         std::strerror(ENOENT)},
        {"write over a folder", [&] { WriteTextFileUtf8(dir / "folder.html", "x"); },
         "is a folder"},
        {"folder below a file", [&] { CreateDirs(dir / "file/sub"); }, std::strerror(ENOTDIR)},
        {"write below a file", [&] { WriteTextFileUtf8(dir / "file/sub/a.html", "x"); },
         std::strerror(ENOTDIR)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.action();
            ADD_FAILURE() << "no error";
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.cause), std::string::npos) << e.what();
        }
    }
}

TEST(FileNames, Split) {
    EXPECT_EQ(ExtractFileDir("/a/b/c.hff"), "/a/b");
    EXPECT_EQ(ExtractFileDir("c.hff"), "");
    EXPECT_EQ(ExtractFileName("/a/b/c.hff"), "c.hff");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
}

TEST(StringUtil, FindAsciiNoCase) {
    struct Case {
        const char* hay;
        const char* needle;
        size_t from;
        size_t expected;
    };
    const Case cases[] = {
        {"xxBackGround", "background", 0, 2},
        {"background", "BACKGROUND", 1, std::string::npos},
        {"aAaB", "ab", 0, 2},
        {"ab", "abc", 0, std::string::npos},
        {"", "a", 0, std::string::npos},
        {"a\xC3\xA9"
         "B",
         "b", 0, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindAsciiNoCase(c.hay, c.needle, c.from), c.expected)
            << c.hay << " / " << c.needle;
}

// Against a plain search over folded copies, on texts long enough to be
// looked at eight bytes at a time, with every offset and many near misses.
TEST(StringUtil, FindAsciiNoCaseAgainstFoldedSearch) {
    const auto fold = [](std::string_view s) {
        std::string r(s);
        for (char& c : r)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return r;
    };
    const char* const needles[] = {"background", "B", "<tr", "{", "\x1C", "ab"};
    const std::string_view pieces[] = {"b",         "B", "a",    "back", "BACKGROUND",
                                       "backgroun", "<", "\x1C", "{",    "[",
                                       "\xC3\xA9",  "x", "<TR",  "A"};
    std::mt19937 rng(7);
    std::uniform_int_distribution<size_t> count(0, 30);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 5000; ++i) {
        std::string hay;
        for (size_t n = count(rng); n > 0; --n)
            hay += pieces[pick(rng)];
        const std::string folded = fold(hay);
        for (const char* needle : needles)
            for (size_t from = 0; from <= hay.size(); from += 3)
                ASSERT_EQ(FindAsciiNoCase(hay, needle, from), folded.find(fold(needle), from))
                    << hay << " / " << needle << " from " << from;
    }
}
