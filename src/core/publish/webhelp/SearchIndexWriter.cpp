#include "publish/webhelp/SearchIndexWriter.h"

#include "base/Error.h"
#include "model/DocModel.h"
#include "publish/common/InOrderQueue.h"
#include "publish/webhelp/SearchIndex.h"

#include <string>
#include <string_view>

namespace qm {

namespace {

// The index numbers topics in the order they are added. Each worker prepares
// its page's words and texts itself; only adding them is in order, and pages
// that finish ahead of an earlier one wait, prepared, in the queue.
class TSearchIndexWriter final : public TWebHelpPageConsumer {
public:
    TSearchIndexWriter(const std::string& outDir, size_t count) : FIndex(outDir), FCount(count) {}

    void Page(size_t index, const TTopic& t, std::string_view plainText) override {
        const std::string keywords = JoinKeywords(t.Keywords);
        FQueue.Put(index, FIndex.Prepare({t.ID, t.Title, keywords, &t.IndexEntries, plainText}),
                   [this](TPreparedSearchPage& page) { FIndex.Add(std::move(page)); });
    }

    void Finish() override {
        if (const size_t added = FQueue.Delivered(); added != FCount)
            throw EQuillmateError("Search index incomplete: " + std::to_string(added) + " of " +
                                  std::to_string(FCount) + " pages");
        FIndex.Finish();
    }

    void Abort() noexcept override { FQueue.Abort(); }

private:
    TWebHelpSearchIndex FIndex;
    size_t FCount;
    TInOrderQueue<TPreparedSearchPage> FQueue;
};

} // namespace

std::unique_ptr<TWebHelpPageConsumer> MakeWebHelpSearchIndexWriter(const std::string& outDir,
                                                                   size_t count) {
    return std::make_unique<TSearchIndexWriter>(outDir, count);
}

} // namespace qm
