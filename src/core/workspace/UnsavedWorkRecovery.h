#pragma once
// Keeping the session's unsaved topic texts in a recovery journal while the
// author works, and offering them back when a project is opened whose last
// session ended without saving or closing (a crash, a kill, a power cut).
// The journal lives in the per-user folder; the project's own files are only
// ever written by Save.
#include <string>

namespace qm {

class TEditingSession;
class TProjectWorkspace;
class TUserPrompts;

class TUnsavedWorkRecovery {
public:
    TUnsavedWorkRecovery(TProjectWorkspace& workspace, TEditingSession& session,
                         TUserPrompts& prompts, std::string recoveryDir);

    // The journal of the open project: where it is or would be written.
    [[nodiscard]] std::string JournalPath() const;
    // The session's unsaved texts into the journal (savedAt: a date and time
    // for the author). With nothing unsaved, a journal this window wrote is
    // removed; one left by an earlier session is never touched here.
    void WriteJournal(const std::string& savedAt);
    // The work was saved, discarded or the window closes cleanly.
    void RemoveJournal();
    // Right after a project was opened: a journal that this window did not
    // write was left by a session that ended without closing (the project's
    // lock keeps other windows out). The author is asked, with the topics'
    // titles; Yes restores the texts as unsaved work, No removes the journal.
    // Returns whether texts were restored.
    bool OfferRestore();
    // At start, before an untitled workspace left by a crash is set aside
    // (it is not opened again, so nothing could be offered): the journal's
    // texts go into that workspace's pages, so the folder kept aside holds
    // the author's latest text. Returns whether there was anything.
    bool KeepJournalInCrashedWorkspace(const std::string& workspaceDir);

private:
    TProjectWorkspace& FWorkspace;
    TEditingSession& FSession;
    TUserPrompts& FPrompts;
    std::string FRecoveryDir;
    std::string FWrittenPath; // the journal this window owns ("" for none)
};

} // namespace qm
