// A saved web page and its style sheet text through the import's cleaning
// steps, and a reference through the URL handling.
#include "FuzzSupport.h"

#include "base/Error.h"
#include "import/CssRewrite.h"
#include "import/ImportCleaning.h"
#include "import/ImportPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto utf8 = qm::fuzz::AsUtf8Text(data, size);
    if (!utf8)
        return 0;
    const std::string_view text = *utf8;
    (void)qm::NeutraliseSectioningTags(qm::ExtractImportBody(text));
    (void)qm::BodyWrapperOpenTag(text);
    (void)qm::NeutraliseFlexGrid(text);
    (void)qm::CssEscapeUrl(text);
    (void)qm::IsExternalReference(text);
    (void)qm::StripQueryAndFragment(text);
    try {
        (void)qm::UrlDecode(text);
    } catch (const qm::EConvertError&) {
        // Malformed escapes are refused.
    }
    return 0;
}
