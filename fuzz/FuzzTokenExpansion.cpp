// A topic page through the reusable-content expansion, against a small fixed
// store that nests, repeats and cycles.
#include "FuzzSupport.h"

#include "base/Error.h"
#include "content/ReusableContent.h"
#include "content/TokenExpansion.h"
#include "model/DocModel.h"

namespace {

const qm::TDocProject& Project() {
    static qm::TDocProject project;
    static const bool stored = [] {
        project.RootPath = qm::fuzz::ScratchDir() + "/expansion/";
        qm::TReusableProjectContent store;
        store.FVariables = {{"Product", "A&B"}, {"Version", "3.2"}, {"Tokenish", "{snip:Note}"}};
        store.FSnippets = {
            {"Note", "<b>{var:Product}</b>"},
            {"Block", "<p>{begincond:Pro}</p>pro<p>{endcond}</p>{begincond:Beta}b{endcond:Beta}"},
            {"Twice", "{snip:Note}+{snip:Note}"},
            {"Nest", "<i>{snip:Twice}{var:Tokenish}</i>"},
            {"Loop", "a{snip:Loop}b"},
            {"Ping", "({snip:Pong})"},
            {"Pong", "[{snip:Ping}]"},
            {"Decorated", "<span style=\"border: 1px dashed #999\" title=\"t\">d</span>"},
        };
        store.FConditions = {{"Pro", true}, {"Beta", false}};
        store.SaveToProject(project);
        return true;
    }();
    (void)stored;
    return project;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto page = qm::fuzz::AsUtf8Text(data, size);
    if (!page)
        return 0;
    try {
        (void)qm::ExpandReusableContent(Project(), std::string(*page), "Fuzz");
    } catch (const qm::EQuillmateError&) {
        // Expansion beyond the budget is refused.
    }
    return 0;
}
