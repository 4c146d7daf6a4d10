#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fstream>
#endif

namespace qm {

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
} // namespace

bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes,
                           std::string& error) {
    mode_t mode = NewFileMode();
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            error = "It is a folder.";
            return false;
        }
        mode = st.st_mode & 07777;
    }
    std::string tmpl = fileName + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    auto fail = [&](int err) {
        error = std::strerror(err);
        ::close(fd);
        ::unlink(tmpl.c_str());
        return false;
    };
    ::fchmod(fd, mode);
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        error = std::strerror(errno);
        ::unlink(tmpl.c_str());
        return false;
    }
    if (::rename(tmpl.c_str(), fileName.c_str()) != 0) {
        error = std::strerror(errno);
        ::unlink(tmpl.c_str());
        return false;
    }
    return true;
}
#else
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes,
                           std::string& error) {
    const std::string tmp = fileName + ".tmp-qm";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = std::strerror(errno);
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
        error = ec.message();
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}
#endif

} // namespace qm
