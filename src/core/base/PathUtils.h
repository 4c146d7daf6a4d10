#pragma once
// Folder chains, path joining, whole-file UTF-8 text and file-name pieces.
// Relative parts read from project files use backslashes; on POSIX they are
// turned into the native separator here, so callers never care.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

#ifdef _WIN32
inline constexpr char kPathDelim = '\\';
#else
inline constexpr char kPathDelim = '/';
#endif

// Creates Path with every missing parent; never raises (a failure shows up at
// the next file operation in that folder). Returns Path.
std::string EnsureDir(const std::string& path);
// Creates Path with every missing parent, and raises EFileError with the
// system's reason ("Permission denied") when it cannot. Returns Path.
std::string CreateDirs(const std::string& path);

// Base plus a separator plus Relative (a rooted Relative replaces Base).
// Raises EInvalidPath when Relative holds control characters or " < > | * ?.
[[nodiscard]] std::string JoinPath(std::string_view base, std::string_view relative);

// The whole file as UTF-8 text without a leading byte-order mark. Raises
// EFileError when it cannot be read and EEncodingError on invalid UTF-8.
[[nodiscard]] std::string ReadTextFileUtf8(const std::string& fileName);
// The EEncodingError of a text file that is not UTF-8.
[[noreturn]] void ThrowNotUtf8(const std::string& fileName);
// ReadTextFileUtf8 for a file that may be missing: false, text untouched,
// when there is no regular file of that name (as FileExists answers); the
// same errors as ReadTextFileUtf8 otherwise. One open, one fstat, the reads.
[[nodiscard]] bool ReadTextFileUtf8IfExists(const std::string& fileName, std::string& text);
// An open descriptor (O_CLOEXEC) of a regular file and its size, or -1 when the
// name is empty or names nothing, or a folder or device; other failures throw
// "Cannot open file" with the reason.
[[nodiscard]] int OpenRegularFileIfExists(const std::string& fileName, size_t& size);

// Writes Text as UTF-8 without a byte-order mark, creating the folder chain.
// The bytes reach a temporary file in the same folder first and replace the
// target by rename, so a crash or a full disk never leaves a truncated file.
void WriteTextFileUtf8(const std::string& fileName, std::string_view text);
// WriteTextFileUtf8 unless the file holds exactly these bytes already: a file
// written again on every topic switch then costs a read, not a synced write,
// and keeps its time. True when it wrote.
bool WriteTextFileUtf8IfChanged(const std::string& fileName, std::string_view text);

// Trimmed text with " * / : < > ? \ | replaced by "_"; "topic" when empty.
[[nodiscard]] std::string SafeFileNamePart(std::string_view text);

// --- helpers shared by the storage and publishing code ---
[[nodiscard]] std::string ReadFileBytes(const std::string& fileName);
// Atomic replace of fileName by exactly these bytes (folder chain created).
void WriteFileBytesAtomic(const std::string& fileName, std::string_view bytes);
// Generated output that a rerun rebuilds: written in place, without the
// temporary file (folder chain created).
void WriteOutputFile(const std::string& fileName, std::string_view bytes);
// Generated output given in pieces, so large files need not be concatenated.
void WriteOutputFileParts(const std::string& fileName, const std::vector<std::string_view>& parts);
[[nodiscard]] bool FileExists(const std::string& fileName);
[[nodiscard]] bool DirectoryExists(const std::string& path);
[[nodiscard]] bool IsPathDelimiter(char c);
[[nodiscard]] std::string IncludeTrailingPathDelimiter(std::string_view path);
[[nodiscard]] std::string ExcludeTrailingPathDelimiter(std::string_view path);
// Folder part without the trailing separator ("" when there is none).
[[nodiscard]] std::string ExtractFileDir(std::string_view fileName);
[[nodiscard]] std::string ExtractFileName(std::string_view fileName);
// Extension with its dot, or "".
[[nodiscard]] std::string ExtractFileExt(std::string_view fileName);
// Backslashes become the native separator (a no-op on Windows).
[[nodiscard]] std::string ToNativeSeparators(std::string_view path);

} // namespace qm
