#include "publish/pdf/PdfStyleSheet.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "publish/SettingsCss.h"

namespace qm::pdf {

namespace {

// A profile name is a file name; one that would climb out of the styles
// folder is treated as a missing profile.
std::string StyleProfileFile(const TDocProject& project) {
    if (!TDocProject::IsSafeTopicId(project.StyleProfile))
        return "";
    try {
        return JoinPath(JoinPath(project.RootPath, "styles"), project.StyleProfile + ".css");
    } catch (const EInvalidPath&) {
        return "";
    }
}

} // namespace

std::string BuildPdfStyleSheet(const TDocProject& project, const TProjectSettings& settings) {
    const std::string profile = StyleProfileFile(project);
    std::string css = (!profile.empty() && FileExists(profile))
                          ? ReadTextFileUtf8(profile)
                          : "body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}";
    if (css.find("p { margin") == std::string::npos)
        css += "\r\np { margin: 0; }";
    css += BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Standard);
    return css;
}

} // namespace qm::pdf
