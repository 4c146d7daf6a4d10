#include "publish/pdf/PdfStyleSheet.h"

#include "publish/common/PublishCommon.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "publish/SettingsCss.h"

namespace qm::pdf {

std::string BuildPdfStyleSheet(const TDocProject& project, const TProjectSettings& settings) {
    const std::string profile = StyleProfilePath(project);
    std::string css =
        (!profile.empty() && FileExists(profile)) ? ReadTextFileUtf8(profile) : kBaseStyleRule;
    if (css.find("p { margin") == std::string::npos)
        css += "\r\np { margin: 0; }";
    css += BuildSettingsOverrideCss(&settings, TSettingsCssVariant::Standard);
    return css;
}

} // namespace qm::pdf
