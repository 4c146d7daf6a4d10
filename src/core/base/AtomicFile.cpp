#include "base/AtomicFile.h"

#include "base/Error.h"
#include "base/SystemError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fstream>
#endif

namespace fs = std::filesystem;

namespace qm {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr size_t kRandomPartLength = 6; // mkstemp's XXXXXX

[[noreturn]] void ThrowFileError(const std::string& what, const std::string& fileName, int err) {
    throw EFileError("Cannot " + what + " \"" + fileName + "\": " + SystemErrorText(err));
}

} // namespace

#ifndef _WIN32
namespace {
mode_t NewFileMode() {
    // umask can only be read by setting it; do that once, before any worker
    // threads of a publish could be creating files.
    static const mode_t mode = [] {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

bool WriteAll(int fd, const char* p, size_t left) {
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// A temporary file beside a target, removed unless it was moved into place.
class TTemporaryFile final {
public:
    explicit TTemporaryFile(const std::string& target) : FName(target + ".tmp-XXXXXX") {
        FFd = ::mkstemp(FName.data());
        if (FFd < 0)
            FName.clear();
    }
    ~TTemporaryFile() {
        if (FFd >= 0)
            ::close(FFd);
        if (!FName.empty())
            ::unlink(FName.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    [[nodiscard]] bool Created() const { return FFd >= 0; }
    [[nodiscard]] int Fd() const { return FFd; }
    // Flushes the bytes to disk and closes the file; errno tells a failure.
    [[nodiscard]] bool Finish() {
        const bool synced = ::fsync(FFd) == 0;
        const int err = errno;
        const bool closed = ::close(FFd) == 0;
        FFd = -1;
        if (!synced)
            errno = err;
        return synced && closed;
    }
    // Renames the file over target.
    [[nodiscard]] bool ReplaceTarget(const std::string& target) {
        if (::rename(FName.c_str(), target.c_str()) != 0)
            return false;
        FName.clear();
        return true;
    }
    // Gives the file the name target unless that exists (errno EEXIST). A
    // hard link fails where a file is; a rename would replace it.
    [[nodiscard]] bool BecomeNewTarget(const std::string& target) {
        if (::link(FName.c_str(), target.c_str()) == 0)
            return true; // the destructor removes the temporary name
        if (errno == EEXIST)
            return false;
        // File systems without hard links: check, then rename. Only a
        // writer racing for the very same new name could slip in between.
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) {
            errno = EEXIST;
            return false;
        }
        return ReplaceTarget(target);
    }

private:
    std::string FName;
    int FFd = -1;
};

enum class TCopyFailure { None, Read, Write };

// Copies the rest of in to out; errno tells the cause of a failure.
TCopyFailure CopyBytes(int in, int out) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return TCopyFailure::None;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return TCopyFailure::Read;
        }
        if (!WriteAll(out, buffer.data(), static_cast<size_t>(n)))
            return TCopyFailure::Write;
    }
}

class TFd final {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    [[nodiscard]] int Get() const { return FFd; }

private:
    int FFd;
};

} // namespace

bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes,
                           std::string& error) {
    mode_t mode = NewFileMode();
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            error = SystemErrorText(EISDIR);
            return false;
        }
        mode = st.st_mode & 07777;
    }
    TTemporaryFile tmp(fileName);
    if (!tmp.Created() || ::fchmod(tmp.Fd(), mode) != 0 ||
        !WriteAll(tmp.Fd(), bytes.data(), bytes.size()) || !tmp.Finish() ||
        !tmp.ReplaceTarget(fileName)) {
        error = SystemErrorText(errno);
        return false;
    }
    return true;
}

void CopyToNewFileAtomically(const std::string& source, const std::string& dest) {
    // O_NOFOLLOW: the file checked by the caller is the file copied, not
    // whatever a link put there since. O_NONBLOCK: opening a pipe waits for
    // a writer that may never come (regular files ignore the flag).
    const TFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.Get() < 0)
        ThrowFileError("open file", source, errno);
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0)
        ThrowFileError("read file", source, errno);
    if (S_ISDIR(st.st_mode))
        ThrowFileError("read file", source, EISDIR);
    if (!S_ISREG(st.st_mode))
        throw EFileError("Cannot copy \"" + source + "\": not a regular file");
    TTemporaryFile tmp(dest);
    if (!tmp.Created())
        ThrowFileError("create file", dest, errno);
    (void)::fchmod(tmp.Fd(), NewFileMode());
    switch (CopyBytes(in.Get(), tmp.Fd())) {
    case TCopyFailure::None:
        break;
    case TCopyFailure::Read:
        ThrowFileError("read file", source, errno);
    case TCopyFailure::Write:
        ThrowFileError("write file", dest, errno);
    }
    if (!tmp.Finish() || !tmp.BecomeNewTarget(dest))
        ThrowFileError("create file", dest, errno);
}

void WriteNewFileAtomically(const std::string& fileName, std::string_view bytes) {
    TTemporaryFile tmp(fileName);
    if (!tmp.Created())
        ThrowFileError("create file", fileName, errno);
    (void)::fchmod(tmp.Fd(), NewFileMode());
    if (!WriteAll(tmp.Fd(), bytes.data(), bytes.size()))
        ThrowFileError("write file", fileName, errno);
    if (!tmp.Finish() || !tmp.BecomeNewTarget(fileName))
        ThrowFileError("create file", fileName, errno);
}
#else
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes,
                           std::string& error) {
    const std::string tmp = fileName + ".tmp-qm";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = SystemErrorText(errno);
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "Write failed.";
            std::filesystem::remove(tmp);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, fileName, ec); // MoveFileEx with REPLACE_EXISTING
    if (ec) {
        error = SystemErrorText(ec);
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

void CopyToNewFileAtomically(const std::string& source, const std::string& dest) {
    const std::string tmp = dest + ".tmp-qm";
    std::error_code ec;
    if (fs::is_symlink(fs::path(source), ec) || !fs::is_regular_file(fs::path(source), ec))
        throw EFileError("Cannot copy \"" + source + "\": not a regular file");
    if (fs::exists(fs::path(dest), ec))
        ThrowFileError("create file", dest, EEXIST);
    fs::copy_file(fs::path(source), fs::path(tmp), fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(fs::path(tmp), fs::path(dest), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(tmp), ignored);
        throw EFileError("Cannot copy \"" + source + "\" to \"" + dest +
                         "\": " + SystemErrorText(ec));
    }
}

void WriteNewFileAtomically(const std::string& fileName, std::string_view bytes) {
    std::error_code ec;
    if (fs::exists(fs::path(fileName), ec))
        ThrowFileError("create file", fileName, EEXIST);
    std::string error;
    if (!ReplaceFileAtomically(fileName, bytes, error))
        throw EFileError("Cannot create file \"" + fileName + "\": " + error);
}
#endif

bool IsTemporaryFileName(std::string_view name) {
    const size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string_view::npos || mark == 0)
        return false;
    const std::string_view rest = name.substr(mark + kTemporaryMark.size());
    if (rest == "qm")
        return true;
    if (rest.size() != kRandomPartLength)
        return false;
    for (const char c : rest) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum)
            return false;
    }
    return true;
}

size_t RemoveTemporaryFiles(const std::string& folder) {
    std::error_code ec;
    std::vector<fs::path> leftovers;
    for (auto it = fs::recursive_directory_iterator(fs::path(folder), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code statusEc;
        if (it->is_regular_file(statusEc) && !it->is_symlink(statusEc) &&
            IsTemporaryFileName(it->path().filename().string()))
            leftovers.push_back(it->path());
    }
    size_t removed = 0;
    for (const fs::path& p : leftovers)
        if (fs::remove(p, ec))
            ++removed;
    return removed;
}

} // namespace qm
