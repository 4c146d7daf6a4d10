#include "base/PathUtils.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/StringUtil.h"
#include "base/SystemError.h"
#include "base/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qm {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsInvalidPathChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || c == '"' || c == '<' || c == '>' || c == '|' || c == '*' || c == '?';
}

[[noreturn]] void ThrowCannotCreate(const std::string& fileName, int err) {
    throw EFileError("Cannot create file \"" + fileName + "\": " + SystemErrorText(err));
}

bool IsRooted(std::string_view p) {
    return (p.size() >= 2 && p[1] == ':') || (!p.empty() && (p[0] == '\\' || p[0] == '/'));
}
} // namespace

bool IsPathDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string ToNativeSeparators(std::string_view path) {
#ifdef _WIN32
    return std::string(path);
#else
    std::string r(path);
    for (char& c : r)
        if (c == '\\')
            c = '/';
    return r;
#endif
}

std::string EnsureDir(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec))
        return path;
    fs::create_directories(fs::path(path), ec); // reported by the next file operation
    return path;
}

std::string CreateDirs(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec))
        return path;
    fs::create_directories(fs::path(path), ec);
    // A name taken by a file gives no error code from create_directories.
    if (ec || !fs::is_directory(fs::path(path), ec))
        throw EFileError("Cannot create folder \"" + path +
                         "\": " + (ec ? SystemErrorText(ec) : SystemErrorText(EEXIST)));
    return path;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    if (r.empty() || !IsPathDelimiter(r.back()))
        r.push_back(kPathDelim);
    return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
    std::string r(path);
    while (r.size() > 1 && IsPathDelimiter(r.back()))
        r.pop_back();
    return r;
}

std::string JoinPath(std::string_view base, std::string_view relative) {
    if (relative.empty())
        return IncludeTrailingPathDelimiter(base);
    for (char c : relative)
        if (IsInvalidPathChar(c))
            throw EInvalidPath("Invalid characters in path: " + std::string(relative));
    if (IsRooted(relative))
        return ToNativeSeparators(relative);
    return IncludeTrailingPathDelimiter(base) + ToNativeSeparators(relative);
}

namespace {

// Reads an open file whole: one fstat for the size, then reads until the end
// (a file that grows meanwhile is read to its end too). One spare byte lets
// the read that finds the end land in the buffer instead of growing it.
std::string ReadOpenFile(int fd, const std::string& fileName, size_t sizeHint) {
    std::string bytes(sizeHint + 1, '\0');
    size_t got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(std::max<size_t>(bytes.size() * 2, 1 << 16));
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw EFileError("Cannot read file \"" + fileName + "\": " + SystemErrorText(err));
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

std::string Utf8TextOf(std::string bytes, const std::string& fileName) {
    if (StartsWith(bytes, kBom))
        bytes.erase(0, kBom.size());
    if (!IsValidUtf8(bytes))
        ThrowNotUtf8(fileName);
    return bytes;
}

} // namespace

void ThrowNotUtf8(const std::string& fileName) {
    throw EEncodingError("No mapping for the Unicode character exists in the target "
                         "multi-byte code page: \"" +
                         fileName + "\"");
}

std::string ReadFileBytes(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFileError("Cannot open file \"" + fileName + "\": " + SystemErrorText(errno));
    struct stat st {};
    const size_t size =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
    return ReadOpenFile(fd, fileName, size);
}

std::string ReadTextFileUtf8(const std::string& fileName) {
    return Utf8TextOf(ReadFileBytes(fileName), fileName);
}

int OpenRegularFileIfExists(const std::string& fileName, size_t& size) {
    if (fileName.empty())
        return -1;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return -1;
        throw EFileError("Cannot open file \"" + fileName + "\": " + SystemErrorText(errno));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd); // a folder or a device is no file here, as for FileExists
        return -1;
    }
    size = static_cast<size_t>(st.st_size);
    return fd;
}

bool ReadTextFileUtf8IfExists(const std::string& fileName, std::string& text) {
    size_t size = 0;
    const int fd = OpenRegularFileIfExists(fileName, size);
    if (fd < 0)
        return false;
    text = Utf8TextOf(ReadOpenFile(fd, fileName, size), fileName);
    return true;
}

void WriteFileBytesAtomic(const std::string& fileName, std::string_view bytes) {
    CreateDirs(ExtractFileDir(fileName));
    std::string error;
    if (!ReplaceFileAtomically(fileName, bytes, error))
        throw EFileError("Cannot create file \"" + fileName + "\": " + error);
}

void WriteOutputFile(const std::string& fileName, std::string_view bytes) {
    WriteOutputFileParts(fileName, {bytes});
}

void WriteOutputFileParts(const std::string& fileName, const std::vector<std::string_view>& parts) {
    // Generated output, which a rerun rebuilds, is replaced by removing the
    // old file and writing a new one: ext4 flushes a file at once when it was
    // truncated or renamed over another, which made a large publish wait on
    // the disk for every page. A new file is created without the removal,
    // which on ext4 takes the folder's lock even for a name that is not there.
    // The reason given is errno of the call that failed, read before any
    // other call can overwrite it: the open, a write (a full disk), or the
    // close.
    const auto create = [&fileName] {
        return ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    };
    int fd = create();
    // The folder chain is made (or its failure reported) only when it is
    // missing, not looked at for every file.
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const std::string dir = ExtractFileDir(fileName);
        if (!dir.empty())
            CreateDirs(dir);
        fd = create();
    }
    if (fd < 0 && errno == EEXIST) {
        std::remove(fileName.c_str());
        fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    }
    if (fd < 0)
        ThrowCannotCreate(fileName, errno);
    for (std::string_view p : parts) {
        while (!p.empty()) {
            const ssize_t n = ::write(fd, p.data(), p.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int err = n < 0 ? errno : ENOSPC;
                ::close(fd);
                ThrowCannotCreate(fileName, err);
            }
            p.remove_prefix(static_cast<size_t>(n));
        }
    }
    if (::close(fd) != 0)
        ThrowCannotCreate(fileName, errno);
}

void WriteTextFileUtf8(const std::string& fileName, std::string_view text) {
    WriteFileBytesAtomic(fileName, text);
}

bool WriteTextFileUtf8IfChanged(const std::string& fileName, std::string_view text) {
    try {
        if (FileExists(fileName) && ReadFileBytes(fileName) == text)
            return false;
    } catch (const std::exception&) {
        // Unreadable: the write below replaces it, or reports why it cannot.
    }
    WriteFileBytesAtomic(fileName, text);
    return true;
}

std::string SafeFileNamePart(std::string_view text) {
    std::string r = TrimCtl(text);
    if (r.empty())
        return "topic";
    for (char& c : r) {
        switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            c = '_';
            break;
        default:
            break;
        }
    }
    return r;
}

bool FileExists(const std::string& fileName) {
    if (fileName.empty())
        return false;
    std::error_code ec;
    return fs::is_regular_file(fs::path(fileName), ec);
}

bool DirectoryExists(const std::string& path) {
    if (path.empty())
        return false;
    std::error_code ec;
    return fs::is_directory(fs::path(path), ec);
}

std::string ExtractFileDir(std::string_view fileName) {
    size_t p = fileName.size();
    while (p > 0 && !IsPathDelimiter(fileName[p - 1]))
        --p;
    if (p == 0)
        return "";
    // Keep the root separator of "/x" so the folder stays absolute.
    if (p == 1)
        return std::string(fileName.substr(0, 1));
    return std::string(fileName.substr(0, p - 1));
}

std::string ExtractFileName(std::string_view fileName) {
    size_t p = fileName.size();
    while (p > 0 && !IsPathDelimiter(fileName[p - 1]))
        --p;
    return std::string(fileName.substr(p));
}

std::string ExtractFileExt(std::string_view fileName) {
    std::string name = ExtractFileName(fileName);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return "";
    return name.substr(dot);
}

} // namespace qm
