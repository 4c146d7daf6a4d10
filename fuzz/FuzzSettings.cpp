// Project settings as their file holds them, read and written back.
#include "FuzzSupport.h"

#include "base/Error.h"
#include "base/Json.h"
#include "settings/ProjectSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto doc = qm::TJsonDocument::Parse(qm::fuzz::AsText(data, size));
    if (!doc || !doc->Root().is_object())
        return 0;
    qm::TProjectSettings settings;
    try {
        settings.FromJson(*doc, doc->Root());
    } catch (const qm::EQuillmateError&) {
        // Values that cannot be numbers are refused.
        return 0;
    }
    (void)qm::JsonWrite(settings.ToJson());
    return 0;
}
