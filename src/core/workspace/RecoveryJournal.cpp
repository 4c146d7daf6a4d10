#include "workspace/RecoveryJournal.h"

#include "base/Json.h"
#include "base/PathUtils.h"

#include <cstdint>
#include <cstdio>
#include <exception>

namespace qm {

namespace {
// FNV-1a: stable across runs and builds, unlike std::hash.
std::uint64_t Fnv1a(const std::string& s) {
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string Text(const TJsonDocument& doc, const Json* obj, const char* name) {
    const Json* v = JsonMember(obj, name);
    return v != nullptr && v->is_string() ? doc.TextForm(*v) : std::string();
}
} // namespace

std::string RecoveryJournalPath(const std::string& recoveryDir, const std::string& rootPath) {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.json",
                  static_cast<unsigned long long>(Fnv1a(ExcludeTrailingPathDelimiter(rootPath))));
    return JoinPath(recoveryDir, name);
}

void WriteRecoveryJournal(const std::string& fileName, const TRecoveryJournal& journal) {
    Json topics = Json::object();
    for (const auto& [id, html] : journal.Topics)
        topics[id] = html;
    Json root = Json::object();
    root["root"] = journal.RootPath;
    root["projectFile"] = journal.ProjectFile;
    root["savedAt"] = journal.SavedAt;
    root["topics"] = std::move(topics);
    WriteTextFileUtf8(fileName, JsonWrite(root));
}

std::optional<TRecoveryJournal> ReadRecoveryJournal(const std::string& fileName) {
    if (!FileExists(fileName))
        return std::nullopt;
    std::string text;
    try {
        text = ReadTextFileUtf8(fileName);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    const auto doc = TJsonDocument::Parse(text);
    if (!doc || !doc->Root().is_object())
        return std::nullopt;
    const Json* root = &doc->Root();
    TRecoveryJournal journal;
    journal.RootPath = Text(*doc, root, "root");
    journal.ProjectFile = Text(*doc, root, "projectFile");
    journal.SavedAt = Text(*doc, root, "savedAt");
    if (const Json* topics = JsonMember(root, "topics"); topics != nullptr && topics->is_object())
        for (const auto& [id, html] : topics->items())
            if (html.is_string())
                journal.Topics[id] = html.get<std::string>();
    return journal;
}

} // namespace qm
