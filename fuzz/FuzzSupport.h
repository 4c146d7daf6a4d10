#pragma once
// What the fuzz targets share: the input as text, and a scratch folder for
// the readers that only take files.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm::fuzz {

[[nodiscard]] inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input when it is UTF-8, as every page is by the time it reaches the
// code under test (the file readers check it and refuse anything else).
[[nodiscard]] std::optional<std::string_view> AsUtf8Text(const std::uint8_t* data,
                                                         std::size_t size);

// A folder of this process's own, on tmpfs when the machine has one (most
// targets write their input to a file once per run), removed at exit.
[[nodiscard]] const std::string& ScratchDir();

// Writes bytes to a file, creating its folder; aborts when that fails, since
// a target that cannot set up its input tests nothing.
void WriteScratchFile(const std::string& path, std::string_view bytes);

} // namespace qm::fuzz
