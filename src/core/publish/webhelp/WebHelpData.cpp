#include "publish/webhelp/WebHelpData.h"

#include "base/Error.h"
#include "base/Json.h"
#include "base/OutputStream.h"
#include "base/PathUtils.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/common/InOrderQueue.h"

#include <unordered_set>

namespace qm {

namespace {

// A topic can be published only when its id can name a file.
bool Publishable(const TTopic* t) {
    return t != nullptr && !t->ExcludeWeb && TDocProject::IsSafeTopicId(t->ID);
}

// The members a topic's entry opens with, in toc.json as in search.json.
void AppendTopicHead(std::string& entry, const TTopic& t) {
    entry += "{\"id\":";
    AppendJsonQuoted(entry, t.ID);
    entry += ",\"title\":";
    AppendJsonQuoted(entry, t.Title);
    entry += ",\"file\":";
    AppendJsonQuoted(entry, "topics/" + t.ID + ".html");
}

// toc.json and toc.js, written as the walk goes: at 50,000 topics the tree's
// text is several megabytes, and a copy of it for each file would be more.
class TJsonAndScript {
public:
    TJsonAndScript(const std::string& outDir, const char* jsonName, const char* jsName,
                   const char* variable)
        : FJson(JoinPath(outDir, jsonName), ""),
          FScript(JoinPath(outDir, jsName), std::string("window.") + variable + " = ") {}

    void Append(std::string_view bytes) {
        FJson.Append(bytes);
        FScript.Append(bytes);
    }

    void Close() {
        FJson.Close();
        FScript.Append(";");
        FScript.Close();
    }

private:
    TOutputStream FJson;
    TOutputStream FScript;
};

} // namespace

std::string JoinKeywords(const std::vector<std::string>& keywords) {
    std::string r;
    for (size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0)
            r += ' ';
        r += keywords[i];
    }
    return r;
}

std::vector<std::string> BuildWebHelpContents(const TDocProject& project,
                                              const std::string& outDir) {
    const TContentsWalk walk =
        WalkContents(project, [](const TTopic& t) { return Publishable(&t); });
    TJsonAndScript out(outDir, "toc.json", "toc.js", "__QZ_TOC");
    out.Append("{\"roots\":[");
    std::string entry;
    // Each entry opens its node; the nodes still open are closed when the walk
    // comes back up to their depth (the next entry is at most one deeper).
    for (size_t i = 0; i < walk.Entries.size(); ++i) {
        const TContentsEntry& e = walk.Entries[i];
        entry.clear();
        if (i > 0 && e.Depth <= walk.Entries[i - 1].Depth)
            entry += ',';
        const TTopic& t = *e.Topic;
        AppendTopicHead(entry, t);
        entry += ",\"children\":[";
        const int nextDepth = i + 1 < walk.Entries.size() ? walk.Entries[i + 1].Depth : 0;
        for (int d = e.Depth; d >= nextDepth; --d)
            entry += "]}";
        out.Append(entry);
    }
    out.Append("]}");
    out.Close();
    return walk.Warnings;
}

namespace {

// Both search files, open for the whole publish. Each page's entry is quoted
// by the worker that made the page and leaves in order through the queue.
class TSearchDataWriter final : public TWebHelpPageConsumer {
public:
    TSearchDataWriter(const std::string& outDir, size_t count)
        : FJson(JoinPath(outDir, "search.json"), "{\"topics\":["),
          FScript(JoinPath(outDir, "search.js"), "window.__QZ_SEARCH = {\"topics\":["),
          FCount(count) {}

    void Page(size_t index, const TTopic& t, std::string_view plainText) override {
        std::string entry;
        entry.reserve(plainText.size() + t.Title.size() + 160);
        if (index > 0)
            entry += ',';
        AppendTopicHead(entry, t);
        entry += ",\"text\":";
        AppendJsonQuoted(entry, plainText);
        entry += ",\"keywords\":";
        AppendJsonQuoted(entry, JoinKeywords(t.Keywords));
        entry += '}';

        FQueue.Put(index, std::move(entry), [this](const std::string& e) {
            FJson.Append(e);
            FScript.Append(e);
        });
    }

    void Finish() override {
        if (const size_t written = FQueue.Delivered(); written != FCount)
            throw EQuillmateError("Search data incomplete: " + std::to_string(written) + " of " +
                                  std::to_string(FCount) + " pages");
        FJson.Append("]}");
        FScript.Append("]};");
        FJson.Close();
        FScript.Close();
    }

    void Abort() noexcept override { FQueue.Abort(); }

private:
    TOutputStream FJson;
    TOutputStream FScript;
    size_t FCount;
    TInOrderQueue<std::string> FQueue;
};

} // namespace

std::unique_ptr<TWebHelpPageConsumer> MakeWebHelpSearchDataWriter(const std::string& outDir,
                                                                  size_t count) {
    return std::make_unique<TSearchDataWriter>(outDir, count);
}

} // namespace qm
