#include "publish/pdf/PdfPageReader.h"

#include "base/Error.h"

#include <poppler-document.h>
#include <poppler-page.h>

#include <memory>

namespace qm::pdf {

std::string PdfMarker(std::string_view prefix, size_t index) {
    return std::string(prefix) + std::to_string(index) + kMarkerEnd;
}

std::vector<int> FindMarkerPages(const std::string& pdfPath, std::string_view prefix,
                                 size_t count) {
    std::vector<int> pages(count, 0);
    const std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(pdfPath));
    if (!doc || doc->is_locked())
        throw EQuillmateError("Cannot read the printed PDF \"" + pdfPath + "\".");
    const int pageCount = doc->pages();
    for (int p = 0; p < pageCount; ++p) {
        const std::unique_ptr<poppler::page> page(doc->create_page(p));
        if (!page)
            continue;
        for (const poppler::text_box& box : page->text_list()) {
            const poppler::byte_array bytes = box.text().to_utf8();
            const std::string_view word(bytes.data(), bytes.size());
            // The marker may be joined to a neighbouring word.
            const size_t at = word.find(prefix);
            if (at == std::string_view::npos)
                continue;
            size_t index = 0;
            size_t i = at + prefix.size();
            const size_t first = i;
            for (; i < word.size() && word[i] >= '0' && word[i] <= '9' && i - first < 9; ++i)
                index = index * 10 + static_cast<size_t>(word[i] - '0');
            // The end mark keeps a heading that starts with a digit out of the number.
            const bool whole = i > first && i < word.size() && word[i] == kMarkerEnd;
            if (whole && index < count && pages[index] == 0)
                pages[index] = p + 1;
        }
    }
    return pages;
}

} // namespace qm::pdf
