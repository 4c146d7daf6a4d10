// How an import reads what it is given and what it says when it cannot.
#include "base/Error.h"
#include "base/Utf8.h"
#include "import/HtmlImport.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

std::string Utf16(std::string_view utf8, bool bigEndian) {
    std::string out;
    const auto unit = [&](char32_t u) {
        const auto hi = static_cast<char>(u >> 8);
        const auto lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
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

// FileErrorOf(f) run without the privileges of root, whose writes no folder
// permission stops: in a child process as "nobody" when this one is root.
template <typename F> std::string FileErrorAsUser(F f) {
    if (::geteuid() != 0)
        return FileErrorOf(f);
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string message = "cannot drop privileges";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            message = FileErrorOf(f);
        const bool sent =
            ::write(fds[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return message;
}

} // namespace

// A UTF-16 page used to arrive as "ÿþ<\0h\0..." with its NUL bytes.
TEST(ImportEncoding, ByteOrderMarksAreHonouredInPagesAndStyleSheets) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    const std::string page = "<html><head><link rel=stylesheet href=\"s.css\"></head><body><p>" +
                             text + "</p></body></html>";
    const std::string css = "p::after{content:\"" + text + "\"}";
    struct Case {
        const char* name;
        std::string pageBytes;
        std::string cssBytes;
    };
    const Case cases[] = {
        {"UTF-16 little-endian", "\xFF\xFE" + Utf16(page, false), "\xFF\xFE" + Utf16(css, false)},
        {"UTF-16 big-endian", "\xFE\xFF" + Utf16(page, true), "\xFE\xFF" + Utf16(css, true)},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + page, "\xEF\xBB\xBF" + css},
        {"UTF-8", page, css},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        WriteFile(dir / "page/index.html", c.pageBytes);
        WriteFile(dir / "page/s.css", c.cssBytes);
        EXPECT_EQ(ImportHtmlFile(dir / "project/", dir / "page/index.html").Html,
                  "<link rel=\"stylesheet\" href=\"assets/css/s.css\">\r\n<p>" + text + "</p>");
        EXPECT_EQ(ReadFile(dir / "project/assets/css/s.css"), "\xEF\xBB\xBF" + css);
    }
}

TEST(ImportErrors, MessagesNameTheRealCause) {
    TTempDir dir;
    fs::permissions(dir.Path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    fs::create_directory(dir / "folder.html");
    WriteFile(dir / "page/index.html", "<img src=\"a.png\">");
    WriteFile(dir / "page/a.png", "png");
    fs::create_directory(dir / "readonly");
    fs::permissions(dir / "readonly", fs::perms::owner_write, fs::perm_options::remove);

    EXPECT_NE(FileErrorOf([&] {
                  (void)ImportHtmlFile(dir / "project/", dir / "folder.html");
              }).find("is a folder"),
              std::string::npos);
    EXPECT_NE(FileErrorOf([&] {
                  (void)ImportHtmlFile(dir / "project/", dir / "missing.html");
              }).find(std::strerror(ENOENT)),
              std::string::npos);
    // The assets folder cannot be made in a read-only project: the cause is
    // the permission, not the missing folder the copy would meet next.
    const std::string readOnly =
        FileErrorAsUser([&] { (void)ImportHtmlFile(dir / "readonly/", dir / "page/index.html"); });
    EXPECT_NE(readOnly.find(std::strerror(EACCES)), std::string::npos) << readOnly;
    fs::permissions(dir / "readonly", fs::perms::owner_write, fs::perm_options::add);
}
