#pragma once
// The editing of one topic at a time in the editor page: which topic is
// open, how its body travels from the page into the caches of unsaved text
// and on to its file, its header, the page's "ready", and the waits for the
// page's answers. Toolkit-free: the page and the program around it are
// interfaces, so the rules are tested with fakes.
#include <cstdint>
#include <map>
#include <string>

namespace qm {

class TDocProject;
class TEditorPage;
class TProjectSettings;
class TProjectWorkspace;
class TWorkspaceHost;

class TEditingSession {
public:
    TEditingSession(TProjectWorkspace& workspace, TEditorPage& page, TWorkspaceHost& host);

    // --- what the page reports ---
    void HandleEditorReady();
    // user: the author typed it; response: it answers "getHtml".
    void HandleEditorHtmlChanged(const std::string& html, bool user, bool response);
    void HandleEditorHeaderChanged(const std::string& headerHtml, const std::string& headerBg);
    void HandleEditorAreaChanged(const std::string& area) { FActiveArea = area; }

    // The contents tree selected id ("" for none): the old topic is stashed,
    // the new one shown.
    void SelectTopic(const std::string& id);

    void RequestEditorHtmlAndWait(int timeoutMs);
    void RequestEditorHeaderAndWait(int timeoutMs);
    // Both at once, as a topic switch needs them.
    void RequestHtmlAndHeaderAndWait(int htmlTimeoutMs, int headerTimeoutMs);
    // The current body into the cache of unsaved text, when the author changed it.
    void StashEditorHtml();
    // Every cached text into its page file; the caches are empty afterwards.
    void FlushPendingTopicFiles();
    // Header answer, stash and flush: everything the page holds is on disk.
    void CommitEditorState();
    [[nodiscard]] std::string GetCurrentTopicHtml();

    // Another project is open: nothing of the old one stays.
    void ForgetSession();
    // The author answered No to saving: unsaved text is dropped.
    void DiscardUnsavedChanges();
    // After topics were deleted: their unsaved text must never be written.
    void ForgetRemovedTopics();
    // A topic was renamed: a header still generated from the old title follows.
    void TopicRenamed(const std::string& id, const std::string& oldTitle);

    void ShowProjectEditorPage();
    void UpdateEditorBaseHref();
    void ApplyEditorStylesheet();
    void ApplySettingsToEditor();
    void RefreshAutoHeaderForEmptyTopic();
    // A current topic that shows nothing gets the default first paragraph of
    // the settings (new ones after the settings dialog), written on Save.
    void ReplaceEmptyTopicByDefault();

    // Every topic text the author changed and has not saved, the open
    // topic's latest one included (topic id -> body HTML).
    [[nodiscard]] std::map<std::string, std::string> UnsavedTopicTexts() const;
    // Texts kept from an earlier session become unsaved texts again (topics
    // the project no longer has are skipped); the open topic shows its text.
    void RestoreUnsavedTopicTexts(const std::map<std::string, std::string>& texts);

    [[nodiscard]] bool EditorReady() const { return FEditorReady; }
    [[nodiscard]] const std::string& CurrentTopicID() const { return FCurrentTopicID; }
    [[nodiscard]] const std::string& HeaderHtml() const { return FHeaderHtml; }
    // The editing area last reported by the page: "body" or "header".
    [[nodiscard]] const std::string& ActiveArea() const { return FActiveArea; }

private:
    [[nodiscard]] TDocProject& Project();
    [[nodiscard]] const TProjectSettings& Settings() const;
    void LoadTopicIntoEditor(const std::string& id);
    void LoadHeaderForCurrent(const std::string& id);
    void SaveCurrentHeader();
    void PushHeaderToEditor();
    void MarkProjectDirty();
    // Whether the text taken from the page differs from what was loaded.
    [[nodiscard]] bool IsAuthorChange(const std::string& html) const;
    // The fetched body into the cache of unsaved text, when the author changed it.
    void KeepFetchedHtml();

    TProjectWorkspace& FWorkspace;
    TEditorPage& FPage;
    TWorkspaceHost& FHost;

    std::string FCurrentTopicID;
    std::string FDirtyHtml;
    std::map<std::string, std::string> FUnsavedTopicHtml;
    std::map<std::string, std::string> FPendingTextFiles;
    bool FWaitingHtmlResponse = false;
    bool FWaitingHeaderResponse = false;
    bool FEditorReady = false;
    std::string FActiveArea = "body";
    std::string FHeaderHtml;
    std::string FHeaderBg;
    std::string FLoadedTopicBaselineHtml;
    bool FIgnoreNextHeaderChanged = false;
    // After a topic is put into the page, reports of the previous text may
    // still be on their way; they are dropped until the page acknowledges
    // the new text (its first non-author "htmlChanged").
    bool FAwaitingSetHtmlEcho = false;
    std::int64_t FSetHtmlSentAtMs = 0;
    // The page's own rendering of the loaded text (its markup differs from
    // the file's: line ends, entities), and whether the author has changed
    // the current topic since it was loaded. A topic only looked at is
    // never rewritten.
    std::string FPageBaselineHtml;
    bool FAuthorChangedCurrent = false;
};

} // namespace qm
