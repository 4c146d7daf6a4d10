#include "publish/common/PublishOptions.h"

#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "publish/common/OutputFolder.h"

#include <filesystem>
#include <system_error>

namespace qm {

namespace {

struct TFormatNames {
    TPublishFormat Format;
    std::string_view Name;
    std::string_view Title;
};

constexpr TFormatNames kFormats[] = {
    {TPublishFormat::WebHelp, "webhelp", "WebHelp"},
    {TPublishFormat::Chm, "chm", "CHM"},
    {TPublishFormat::Pdf, "pdf", "PDF"},
};

const TFormatNames& NamesOf(TPublishFormat format) {
    for (const TFormatNames& f : kFormats)
        if (f.Format == format)
            return f;
    throw EQuillmateError("Unknown publishing format");
}

} // namespace

std::string_view FormatName(TPublishFormat format) {
    return NamesOf(format).Name;
}

std::string_view FormatTitle(TPublishFormat format) {
    return NamesOf(format).Title;
}

std::optional<TPublishFormat> ParsePublishFormat(std::string_view name) {
    for (const TFormatNames& f : kFormats)
        if (f.Name == name)
            return f.Format;
    return std::nullopt;
}

std::string DefaultOutDir(const TDocProject& project, TPublishFormat format) {
    return JoinPath(JoinPath(project.RootPath, "build"), FormatName(format));
}

std::string ResolveOutDir(const TDocProject& project, const TPublishOptions& options,
                          TPublishFormat format) {
    const std::string dir =
        options.OutDir.empty() ? DefaultOutDir(project, format) : options.OutDir;
    // The help compiler runs inside the folder and the browser is handed a
    // file address, so a relative path would be read from the wrong place.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(dir, ec);
    std::string resolved = ec ? dir : full.lexically_normal().string();
    CheckOutDirOutsideProject(project, resolved, format);
    return resolved;
}

} // namespace qm
