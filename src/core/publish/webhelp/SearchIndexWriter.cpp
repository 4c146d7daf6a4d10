#include "publish/webhelp/SearchIndexWriter.h"

#include "base/Error.h"
#include "model/DocModel.h"
#include "publish/webhelp/SearchIndex.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <string_view>

namespace qm {

namespace {

// The index numbers topics in the order they are added, so pages that finish
// ahead of an earlier one wait (with their text) in a small reorder buffer;
// a page too far ahead holds its thread until the earlier ones are in.
class TSearchIndexWriter final : public TWebHelpPageConsumer {
public:
    TSearchIndexWriter(const std::string& outDir, size_t count) : FIndex(outDir), FCount(count) {}

    void Page(size_t index, const TTopic& t, std::string_view plainText) override {
        std::unique_lock<std::mutex> lock(FMutex);
        FRoom.wait(lock, [&] { return FAborted || index < FNext + kAhead; });
        if (FAborted)
            return;
        if (index != FNext) {
            FPending.emplace(index, TPending{&t, std::string(plainText)});
            return;
        }
        Add(t, plainText);
        ++FNext;
        for (auto it = FPending.begin(); it != FPending.end() && it->first == FNext;
             it = FPending.erase(it), ++FNext)
            Add(*it->second.Topic, it->second.Text);
        FRoom.notify_all();
    }

    void Finish() override {
        if (FNext != FCount)
            throw EQuillmateError("Search index incomplete: " + std::to_string(FNext) + " of " +
                                  std::to_string(FCount) + " pages");
        FIndex.Finish();
    }

    void Abort() noexcept override {
        const std::lock_guard<std::mutex> lock(FMutex);
        FAborted = true;
        FRoom.notify_all();
    }

private:
    static constexpr size_t kAhead = 256;

    struct TPending {
        const TTopic* Topic;
        std::string Text;
    };

    void Add(const TTopic& t, std::string_view text) {
        const std::string keywords = JoinKeywords(t.Keywords);
        FIndex.Add({t.ID, t.Title, keywords, &t.IndexEntries, text});
    }

    std::mutex FMutex;
    std::condition_variable FRoom;
    TWebHelpSearchIndex FIndex;
    size_t FCount;
    size_t FNext = 0;
    bool FAborted = false;
    std::map<size_t, TPending> FPending;
};

} // namespace

std::unique_ptr<TWebHelpPageConsumer> MakeWebHelpSearchIndexWriter(const std::string& outDir,
                                                                   size_t count) {
    return std::make_unique<TSearchIndexWriter>(outDir, count);
}

} // namespace qm
