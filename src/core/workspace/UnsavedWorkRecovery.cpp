#include "workspace/UnsavedWorkRecovery.h"

#include "base/PathUtils.h"
#include "i18n/Translation.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "platform/ProjectLock.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectFolders.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/RecoveryJournal.h"
#include "workspace/UserPrompts.h"

#include <exception>
#include <filesystem>

namespace qm {

namespace {
void RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec); // a journal that is already gone is fine
}

// Whether the topic's page already holds the text: nothing to give back.
bool PageHolds(const TDocProject& project, const std::string& id, const std::string& html) {
    const std::string path = project.TopicHtmlPath(id);
    try {
        return !path.empty() && FileExists(path) && ReadTextFileUtf8(path) == html;
    } catch (const std::exception&) {
        return false;
    }
}
} // namespace

TUnsavedWorkRecovery::TUnsavedWorkRecovery(TProjectWorkspace& workspace, TEditingSession& session,
                                           TUserPrompts& prompts, std::string recoveryDir)
    : FWorkspace(workspace), FSession(session), FPrompts(prompts),
      FRecoveryDir(std::move(recoveryDir)) {}

std::string TUnsavedWorkRecovery::JournalPath() const {
    return RecoveryJournalPath(FRecoveryDir, FWorkspace.Project().RootPath);
}

void TUnsavedWorkRecovery::WriteJournal(const std::string& savedAt) {
    const std::string path = JournalPath();
    if (!FWrittenPath.empty() && FWrittenPath != path) {
        RemoveFile(FWrittenPath); // the project moved (Save As) or another one was opened
        FWrittenPath.clear();
    }
    TRecoveryJournal journal;
    journal.Topics = FSession.UnsavedTopicTexts();
    if (journal.Topics.empty()) {
        if (FWrittenPath == path)
            RemoveJournal();
        return;
    }
    journal.RootPath = FWorkspace.Project().RootPath;
    journal.ProjectFile = FWorkspace.ProjectFileName();
    journal.SavedAt = savedAt;
    EnsureDir(FRecoveryDir);
    WriteRecoveryJournal(path, journal);
    FWrittenPath = path;
}

void TUnsavedWorkRecovery::RemoveJournal() {
    if (FWrittenPath.empty())
        return;
    RemoveFile(FWrittenPath);
    FWrittenPath.clear();
}

bool TUnsavedWorkRecovery::OfferRestore() {
    const std::string path = JournalPath();
    if (path == FWrittenPath)
        return false;
    const auto journal = ReadRecoveryJournal(path);
    if (!journal)
        return false;
    const TDocProject& project = FWorkspace.Project();
    std::map<std::string, std::string> restorable;
    std::string list;
    for (const TContentsEntry& entry : WalkContents(project).Entries) {
        const TTopic& topic = *entry.Topic;
        const auto it = journal->Topics.find(topic.ID);
        if (it == journal->Topics.end() || PageHolds(project, topic.ID, it->second))
            continue;
        restorable.insert(*it);
        list += "\n    " + topic.Title;
    }
    if (restorable.empty()) {
        RemoveFile(path);
        return false;
    }
    const std::string question =
        Translate("The last session with this project ended without saving. Changes to these "
                  "topics were kept:") +
        "\n" + list + "\n\n" + Translate("Restore them? No discards them.");
    if (!FPrompts.AskYesNo(question)) {
        RemoveFile(path);
        return false;
    }
    // The journal is this window's from now on: it holds the restored texts
    // until they are saved, and the next write replaces it.
    FWrittenPath = path;
    FSession.RestoreUnsavedTopicTexts(restorable);
    return true;
}

bool TUnsavedWorkRecovery::KeepJournalInCrashedWorkspace(const std::string& workspaceDir) {
    const std::string root = IncludeTrailingPathDelimiter(workspaceDir);
    const std::string path = RecoveryJournalPath(FRecoveryDir, root);
    if (!FileExists(JoinPath(root, kWorkspaceInUseMarker)))
        return false;
    const auto journal = ReadRecoveryJournal(path);
    if (!journal)
        return false;
    try {
        const platform::TProjectLock probe(root); // a running window holds its own
    } catch (const std::exception&) {
        return false;
    }
    for (const auto& [id, html] : journal->Topics)
        if (TDocProject::IsSafeTopicId(id))
            WriteTextFileUtf8(JoinPath(root, "topics/" + id + ".html"), html);
    RemoveFile(path);
    return !journal->Topics.empty();
}

} // namespace qm
