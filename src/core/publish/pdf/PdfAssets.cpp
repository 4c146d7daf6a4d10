#include "publish/pdf/PdfAssets.h"

#include "base/Error.h"
#include "base/PathUtils.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace qm::pdf {

namespace {

[[noreturn]] void ThrowFolderError(const fs::path& folder, const std::error_code& ec) {
    throw EFileError("Cannot read folder \"" + folder.string() + "\". " + ec.message());
}

// Every regular file under root, at every depth. Folder links are not
// followed, so a link back up the tree cannot make the walk endless.
std::vector<fs::path> FilesUnder(const fs::path& root) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec);
    if (ec)
        ThrowFolderError(root, ec);
    for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            ThrowFolderError(root, ec);
        // A dangling link is no file to copy; its failed look-up is no error.
        std::error_code statusEc;
        if (it->is_regular_file(statusEc))
            files.push_back(it->path());
    }
    if (ec)
        ThrowFolderError(root, ec);
    return files;
}

} // namespace

void CopyAssetFiles(const std::string& source, const std::string& target) {
    if (!DirectoryExists(source))
        return;
    const fs::path root(source);
    const fs::path to(target);
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec)
        throw EFileError("Cannot create folder \"" + target + "\". " + ec.message());
    for (const fs::path& file : FilesUnder(root)) {
        const fs::path dest = to / file.lexically_relative(root);
        fs::create_directories(dest.parent_path(), ec);
        if (!ec)
            fs::copy_file(file, dest, fs::copy_options::overwrite_existing, ec);
        if (ec)
            throw EFileError("Cannot copy \"" + file.string() + "\" to \"" + dest.string() +
                             "\". " + ec.message());
    }
}

} // namespace qm::pdf
