#include "FuzzSupport.h"

#include "base/Utf8.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace qm::fuzz {

namespace {

std::string MakeScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("quillmate-fuzz-" + std::to_string(getpid()));
    fs::remove_all(dir, ec);
    if (!fs::create_directories(dir, ec)) {
        std::fprintf(stderr, "cannot create the scratch folder %s\n", dir.c_str());
        std::abort();
    }
    return dir.string();
}

void RemoveScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(ScratchDir(), ec);
}

} // namespace

std::optional<std::string_view> AsUtf8Text(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    if (!IsValidUtf8(text))
        return std::nullopt;
    return text;
}

const std::string& ScratchDir() {
    // Never destroyed: the exit handler that removes the folder must still
    // find its name, and static objects are destroyed before it runs.
    static const std::string* const dir = [] {
        auto* made = new std::string(MakeScratchDir());
        std::atexit(RemoveScratchDir);
        return made;
    }();
    return *dir;
}

void WriteScratchFile(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

} // namespace qm::fuzz
