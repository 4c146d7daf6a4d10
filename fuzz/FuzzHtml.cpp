// Topic HTML to plain text (the search index) and the topic links in it.
#include "FuzzSupport.h"

#include "html/HtmlUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = qm::fuzz::AsUtf8Text(data, size);
    if (!text)
        return 0;
    const std::string_view html = *text;
    (void)qm::HtmlToPlainText(html);
    (void)qm::CollectDocLinkIds(html);
    // Half the topics are published, half go nowhere.
    const qm::TDocLinkTarget rule = [](const std::string& id) {
        return id.size() % 2 == 0 ? id + ".html" : std::string();
    };
    (void)qm::RewriteDocLinks(html, rule);
    (void)qm::RewriteDocLinks(html, nullptr);
    return 0;
}
