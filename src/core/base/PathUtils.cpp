#include "base/PathUtils.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/StringUtil.h"
#include "base/SystemError.h"
#include "base/Utf8.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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

std::string ReadFileBytes(const std::string& fileName) {
    // stdio rather than a stream: a stream turns a failed read (of a folder,
    // say) into an exception that names its own buffer, not the cause.
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (f == nullptr)
        throw EFileError("Cannot open file \"" + fileName + "\": " + SystemErrorText(errno));
    std::string bytes;
    std::error_code ec;
    if (const auto size = fs::file_size(fs::path(fileName), ec); !ec)
        bytes.reserve(static_cast<size_t>(size));
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    const int err = std::ferror(f) != 0 ? errno : 0;
    std::fclose(f);
    if (err != 0)
        throw EFileError("Cannot read file \"" + fileName + "\": " + SystemErrorText(err));
    return bytes;
}

std::string ReadTextFileUtf8(const std::string& fileName) {
    std::string bytes = ReadFileBytes(fileName);
    if (StartsWith(bytes, kBom))
        bytes.erase(0, kBom.size());
    if (!IsValidUtf8(bytes))
        throw EEncodingError("No mapping for the Unicode character exists in the target "
                             "multi-byte code page: \"" +
                             fileName + "\"");
    return bytes;
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
    const std::string dir = ExtractFileDir(fileName);
    if (!dir.empty())
        CreateDirs(dir);
    // Generated output, which a rerun rebuilds, is replaced by removing the
    // old file and writing a new one: ext4 flushes a file at once when it was
    // truncated or renamed over another, which made a large publish wait on
    // the disk for every page.
    std::remove(fileName.c_str());
    // The reason given is errno of the call that failed, read before any
    // other call can overwrite it: the open, a write (a full disk), or the
    // close that flushes the last bytes.
    std::FILE* out = std::fopen(fileName.c_str(), "wb");
    if (out == nullptr)
        ThrowCannotCreate(fileName, errno);
    for (std::string_view p : parts) {
        if (!p.empty() && std::fwrite(p.data(), 1, p.size(), out) != p.size()) {
            const int err = errno;
            std::fclose(out);
            ThrowCannotCreate(fileName, err);
        }
    }
    if (std::fclose(out) != 0)
        ThrowCannotCreate(fileName, errno);
}

void WriteTextFileUtf8(const std::string& fileName, std::string_view text) {
    WriteFileBytesAtomic(fileName, text);
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
