#include "publish/Publish.h"

#include "publish/chm/ChmExport.h"
#include "publish/pdf/PdfExport.h"
#include "publish/webhelp/WebHelpExport.h"

namespace qm {

TPublishResult Publish(TPublishFormat format, const TDocProject& project,
                       const TPublishOptions& options) {
    switch (format) {
    case TPublishFormat::WebHelp:
        return PublishWebHelp(project, options);
    case TPublishFormat::Chm:
        return PublishChm(project, options);
    case TPublishFormat::Pdf:
        return PublishPdf(project, options);
    }
    throw EQuillmateError("Unknown publishing format");
}

} // namespace qm
