// The reusable content file (variables, snippets, conditions) of a project,
// as its text reaches the reader.
#include "FuzzSupport.h"

#include "base/Error.h"
#include "content/ReusableContent.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qm::TReusableProjectContent store;
    try {
        store.LoadFromText(qm::fuzz::AsText(data, size), "reusable_content.json");
    } catch (const qm::EQuillmateError&) {
        // A file of the wrong shape is refused.
        return 0;
    }
    for (const auto& v : store.FVariables)
        (void)store.VariableValue(v.Name, "");
    for (const auto& s : store.FSnippets)
        (void)store.SnippetHtml(s.Name, "");
    for (const auto& c : store.FConditions)
        (void)store.ConditionEnabled(c.Name, false);
    return 0;
}
