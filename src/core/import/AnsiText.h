#pragma once
// Reading the pages and style sheets of an import, which are often saved in
// the Windows "ANSI" code page or in UTF-16 rather than UTF-8.
#include <string>
#include <string_view>

namespace qm {

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined
// become the C1 control characters of the same value, as Windows maps them.
[[nodiscard]] std::string DecodeWindows1252(std::string_view bytes);

// The file as UTF-8 text. A UTF-16 byte-order mark (either byte order) makes
// it UTF-16; otherwise bytes that are not valid UTF-8 are read as
// Windows-1252. A UTF-8 byte-order mark is skipped either way. Raises
// EFileError with the cause when the file cannot be read.
[[nodiscard]] std::string ReadTextFileUtf8OrAnsi(const std::string& fileName);

} // namespace qm
