#include "workspace/EditingSession.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "editor/EditorProtocol.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "model/TopicHeaders.h"
#include "settings/ProjectSettings.h"
#include "workspace/EditorPage.h"
#include "workspace/ProjectFolders.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/TopicHtmlRules.h"
#include "workspace/WorkspaceHost.h"

#include <algorithm>

namespace qm {

namespace {
// The echo of "setHtml" normally arrives within milliseconds; after this long
// the page is taken to have dropped it and author edits count again.
constexpr std::int64_t kSetHtmlEchoTimeoutMs = 3000;
} // namespace

TEditingSession::TEditingSession(TProjectWorkspace& workspace, TEditorPage& page,
                                 TWorkspaceHost& host)
    : FWorkspace(workspace), FPage(page), FHost(host) {}

TDocProject& TEditingSession::Project() {
    return FWorkspace.Project();
}

const TProjectSettings& TEditingSession::Settings() const {
    return FWorkspace.Settings();
}

void TEditingSession::MarkProjectDirty() {
    FWorkspace.MarkDirty();
    FHost.ProjectStateChanged();
}

void TEditingSession::RequestEditorHtmlAndWait(int timeoutMs) {
    if (!FEditorReady || FCurrentTopicID.empty())
        return;
    FWaitingHtmlResponse = true;
    FPage.RequestHtml();
    FHost.WaitFor([this] { return !FWaitingHtmlResponse; }, timeoutMs);
    // A late answer must not be taken for the text of whatever topic is
    // current by the time it arrives.
    FWaitingHtmlResponse = false;
}

void TEditingSession::RequestEditorHeaderAndWait(int timeoutMs) {
    if (!FEditorReady)
        return;
    FWaitingHeaderResponse = true;
    FPage.RequestHeader();
    FHost.WaitFor([this] { return !FWaitingHeaderResponse; }, timeoutMs);
    FWaitingHeaderResponse = false;
}

void TEditingSession::HandleEditorHtmlChanged(const std::string& html, bool user, bool response) {
    if (!user && !response && FAwaitingSetHtmlEcho) {
        // The page acknowledges the text it was given, in its own markup.
        FAwaitingSetHtmlEcho = false;
        FPageBaselineHtml = html;
    }
    const bool overtaken =
        user && FAwaitingSetHtmlEcho && FHost.NowMs() - FSetHtmlSentAtMs < kSetHtmlEchoTimeoutMs;
    if (FWaitingHtmlResponse) {
        FWaitingHtmlResponse = false;
        FDirtyHtml = html;
        // An edit report taken as the answer is still the author's edit: the
        // project is modified, or closing the window would not ask to save.
        if (user && !overtaken && !FCurrentTopicID.empty()) {
            FAuthorChangedCurrent = true;
            MarkProjectDirty();
        }
        return;
    }
    // A late answer to a wait that timed out, or a change the program made.
    if (!user)
        return;
    if (overtaken)
        return; // an edit of the previous topic, overtaken by the topic switch
    FAwaitingSetHtmlEcho = false;
    if (FCurrentTopicID.empty())
        return;
    FDirtyHtml = html;
    FAuthorChangedCurrent = true;
    MarkProjectDirty();
}

void TEditingSession::HandleEditorHeaderChanged(const std::string& headerHtml,
                                                const std::string& headerBg) {
    if (FIgnoreNextHeaderChanged) {
        FIgnoreNextHeaderChanged = false;
        return;
    }
    FWaitingHeaderResponse = false;
    FHeaderHtml = headerHtml;
    if (!TrimCtl(headerBg).empty())
        FHeaderBg = headerBg;
    SaveHeaderForTopic(Project(), FCurrentTopicID, FHeaderHtml, FHeaderBg);
}

bool TEditingSession::IsAuthorChange(const std::string& html) const {
    return FAuthorChangedCurrent && html != FPageBaselineHtml && html != FLoadedTopicBaselineHtml;
}

void TEditingSession::RequestHtmlAndHeaderAndWait(int htmlTimeoutMs, int headerTimeoutMs) {
    if (!FEditorReady)
        return;
    // The page answers in the order it was asked, so both questions go out
    // together and the wait is one round trip, not two; each answer keeps
    // its own time-out.
    const bool html = !FCurrentTopicID.empty();
    FWaitingHtmlResponse = html;
    FWaitingHeaderResponse = true;
    if (html)
        FPage.RequestHtml();
    FPage.RequestHeader();
    const std::int64_t start = FHost.NowMs();
    FHost.WaitFor(
        [&] {
            const bool headerDone =
                !FWaitingHeaderResponse || FHost.NowMs() - start >= headerTimeoutMs;
            return !FWaitingHtmlResponse && headerDone;
        },
        html ? std::max(htmlTimeoutMs, headerTimeoutMs) : headerTimeoutMs);
    FWaitingHtmlResponse = false;
    FWaitingHeaderResponse = false;
}

void TEditingSession::StashEditorHtml() {
    RequestEditorHtmlAndWait(600);
    KeepFetchedHtml();
}

void TEditingSession::KeepFetchedHtml() {
    if (FCurrentTopicID.empty() || FDirtyHtml.empty())
        return;
    // The page's answer for a topic the author only looked at is the loaded
    // text in the page's markup; writing it would turn every viewed page into
    // a change in the author's version control.
    if (IsAuthorChange(FDirtyHtml))
        FUnsavedTopicHtml[FCurrentTopicID] = FDirtyHtml;
    FDirtyHtml.clear();
}

void TEditingSession::FlushPendingTopicFiles() {
    for (const auto& [id, text] : FUnsavedTopicHtml) {
        const std::string path = Project().TopicHtmlPath(id);
        if (!path.empty())
            FPendingTextFiles[path] = text;
    }
    for (const auto& [path, text] : FPendingTextFiles) {
        // A page that already holds the text keeps its file (and its time).
        if (FileExists(path)) {
            try {
                if (ReadTextFileUtf8(path) == text)
                    continue;
            } catch (const std::exception&) {
                // An unreadable page is replaced by the author's text.
            }
        }
        EnsureDir(ExtractFileDir(path));
        WriteTextFileUtf8(path, text);
    }
    FPendingTextFiles.clear();
    FUnsavedTopicHtml.clear();
    FDirtyHtml.clear();
}

void TEditingSession::CommitEditorState() {
    RequestEditorHeaderAndWait(400);
    StashEditorHtml();
    FlushPendingTopicFiles();
}

std::string TEditingSession::GetCurrentTopicHtml() {
    if (FCurrentTopicID.empty())
        return "";
    RequestEditorHtmlAndWait(600);
    if (!FDirtyHtml.empty())
        return FDirtyHtml;
    if (auto it = FUnsavedTopicHtml.find(FCurrentTopicID); it != FUnsavedTopicHtml.end())
        return it->second;
    if (!FLoadedTopicBaselineHtml.empty())
        return FLoadedTopicBaselineHtml;
    const std::string path = Project().TopicHtmlPath(FCurrentTopicID);
    return FileExists(path) ? ReadTextFileUtf8(path) : std::string();
}

void TEditingSession::ForgetSession() {
    FUnsavedTopicHtml.clear();
    FPendingTextFiles.clear();
    FDirtyHtml.clear();
    FCurrentTopicID.clear();
    FWaitingHtmlResponse = false;
    FWaitingHeaderResponse = false;
    FAuthorChangedCurrent = false;
}

void TEditingSession::DiscardUnsavedChanges() {
    FUnsavedTopicHtml.clear();
    FPendingTextFiles.clear();
    FDirtyHtml.clear();
    FAuthorChangedCurrent = false;
    FWorkspace.ClearDirty();
}

void TEditingSession::ForgetRemovedTopics() {
    for (auto it = FUnsavedTopicHtml.begin(); it != FUnsavedTopicHtml.end();)
        it = Project().HasTopic(it->first) ? std::next(it) : FUnsavedTopicHtml.erase(it);
    if (!FCurrentTopicID.empty() && !Project().HasTopic(FCurrentTopicID)) {
        FCurrentTopicID.clear();
        FDirtyHtml.clear();
        FAuthorChangedCurrent = false;
    }
}

void TEditingSession::TopicRenamed(const std::string& id, const std::string& oldTitle) {
    const TTopic* topic = Project().Topics.Find(id);
    if (topic == nullptr || topic->Title == oldTitle)
        return;
    // Only a header the author never touched: its text is the old title and
    // it holds nothing else.
    const auto generated = [&](const std::string& html) {
        return IsAutoHeaderHtml(html, oldTitle, oldTitle);
    };
    const std::string fresh = DefaultHeaderHtml(Settings(), topic->Title);
    if (id == FCurrentTopicID) {
        RequestEditorHeaderAndWait(400);
        if (!generated(FHeaderHtml))
            return;
        FHeaderHtml = fresh;
        SaveCurrentHeader();
        PushHeaderToEditor();
        return;
    }
    const THeaderFilePaths files = HeaderFilesFor(Project(), id);
    if (FileExists(files.HtmlFile) && generated(ReadTextFileUtf8(files.HtmlFile)))
        WriteTextFileUtf8(files.HtmlFile, fresh);
}

void TEditingSession::LoadHeaderForCurrent(const std::string& id) {
    const TTopicHeader h = LoadHeaderForTopic(Project(), Settings(), id);
    FHeaderHtml = h.Html;
    FHeaderBg = h.Background;
}

void TEditingSession::SaveCurrentHeader() {
    SaveHeaderForTopic(Project(), FCurrentTopicID, FHeaderHtml, FHeaderBg);
}

void TEditingSession::PushHeaderToEditor() {
    if (!FEditorReady)
        return;
    FIgnoreNextHeaderChanged = true;
    TProgrammaticScope programmatic(FPage);
    FPage.SetHeaderHtml(FHeaderHtml);
    FPage.SetHeaderBgColor(FHeaderBg);
}

void TEditingSession::SelectTopic(const std::string& id) {
    RequestHtmlAndHeaderAndWait(600, 400);
    KeepFetchedHtml();
    if (!FCurrentTopicID.empty()) {
        try {
            SaveCurrentHeader();
        } catch (const std::exception&) {
            // The header of the topic being left is not worth stopping the switch for.
        }
    }
    FCurrentTopicID = id;
    FAuthorChangedCurrent = false;
    if (FCurrentTopicID.empty())
        return;
    LoadHeaderForCurrent(FCurrentTopicID);
    if (!FEditorReady)
        return; // the ready sequence loads it
    PushHeaderToEditor();
    try {
        LoadTopicIntoEditor(FCurrentTopicID);
    } catch (...) {
        // The page still shows the previous topic's text; keeping the new id
        // would later save that text over the new topic's file.
        FCurrentTopicID.clear();
        FDirtyHtml.clear();
        throw;
    }
}

void TEditingSession::LoadTopicIntoEditor(const std::string& id) {
    const TTopic& topic = Project().GetTopic(id);
    const std::string path = Project().TopicHtmlPath(id);
    std::string html;
    if (path.empty()) {
        html = DefaultTopicHtml(Settings()); // an id that cannot name a file is never written
    } else if (FileExists(path)) {
        auto it = FUnsavedTopicHtml.find(id);
        html = it != FUnsavedTopicHtml.end() ? it->second : ReadTextFileUtf8(path);
    } else {
        html = DefaultTopicHtml(Settings());
        FHeaderHtml = DefaultHeaderHtml(Settings(), topic.Title);
        FHeaderBg = ColorToHtml(Settings().DefaultHeaderBgColor);
        SaveHeaderForTopic(Project(), id, FHeaderHtml, FHeaderBg);
        WriteTextFileUtf8(path, html);
    }
    ApplyEditorStylesheet();
    PushHeaderToEditor();
    FLoadedTopicBaselineHtml = html;
    FPageBaselineHtml.clear();
    FAuthorChangedCurrent = false;
    FWaitingHtmlResponse = false;
    FWaitingHeaderResponse = false;
    FAwaitingSetHtmlEcho = true;
    FSetHtmlSentAtMs = FHost.NowMs();
    FPage.SetHtml(html);
    FDirtyHtml.clear();
    ApplySettingsToEditor();
    FHost.SetStatus(Translate("Loaded: ") + topic.Title);
    FHost.QueueEditorFocus();
}

void TEditingSession::HandleEditorReady() {
    // A second "ready" means the page was reloaded (or its renderer restarted)
    // and lost what it showed: keep the author's last text before reloading.
    if (FEditorReady && !FCurrentTopicID.empty() && !FDirtyHtml.empty()) {
        if (IsAuthorChange(FDirtyHtml))
            FUnsavedTopicHtml[FCurrentTopicID] = FDirtyHtml;
        FDirtyHtml.clear();
    }
    FEditorReady = true;
    FLoadedTopicBaselineHtml.clear();
    UpdateEditorBaseHref();
    ApplyEditorStylesheet();
    LoadHeaderForCurrent(FCurrentTopicID);
    PushHeaderToEditor();
    ApplySettingsToEditor();
    if (!FCurrentTopicID.empty() && Project().HasTopic(FCurrentTopicID))
        LoadTopicIntoEditor(FCurrentTopicID);
    FHost.QueueEditorFocus();
}

void TEditingSession::ShowProjectEditorPage() {
    FPage.NavigateToEditor(FWorkspace.EditorPagePath());
}

void TEditingSession::UpdateEditorBaseHref() {
    if (FEditorReady)
        FPage.SetBaseHref(FilePathToFileUrl(IncludeTrailingPathDelimiter(Project().RootPath)));
}

void TEditingSession::ApplyEditorStylesheet() {
    if (!FEditorReady)
        return;
    const std::string path = BuildEditorEffectiveCss(Project(), Settings());
    TProgrammaticScope programmatic(FPage);
    FPage.SetCssFile(path);
}

void TEditingSession::ApplySettingsToEditor() {
    if (!FEditorReady)
        return;
    const TProjectSettings& s = Settings();
    TProgrammaticScope programmatic(FPage);
    FHeaderBg = ColorToHtml(s.DefaultHeaderBgColor);
    FPage.SetHeaderBgColor(FHeaderBg);
    FPage.SetPageBgColor(ColorToHtml(s.DefaultPageBgColor));
    FPage.SetTextColor(ColorToHtml(s.DefaultTextColor));
    FPage.SetTextBackColor("");
    FPage.SetFontName(s.DefaultFontName);
    FPage.SetFontSizePx(s.FontSizeBody);
    FPage.SetLineSpacing(s.DefaultLineSpacing);
    FPage.SetTableBorderStyle(s.TableBorderStyle);
    FPage.SetTableBorderWidth(s.TableBorderWidth);
    FPage.SetTableBorderColor(ColorToHtml(s.TableBorderColor));
    FHost.EditorSettingsPushed();
}

void TEditingSession::RefreshAutoHeaderForEmptyTopic() {
    const TTopic* topic = Project().Topics.Find(FCurrentTopicID);
    if (topic == nullptr || !IsEmptyTopicHtml(GetCurrentTopicHtml()))
        return;
    if (!TrimCtl(FHeaderHtml).empty() &&
        !IsAutoHeaderHtml(FHeaderHtml, topic->Title, Project().Title))
        return;
    FHeaderHtml = DefaultHeaderHtml(Settings(), topic->Title);
    FHeaderBg = ColorToHtml(Settings().DefaultHeaderBgColor);
    SaveCurrentHeader();
    PushHeaderToEditor();
}

void TEditingSession::ReplaceEmptyTopicByDefault() {
    if (FCurrentTopicID.empty() || !IsEmptyTopicHtml(GetCurrentTopicHtml()))
        return;
    const std::string html = DefaultTopicHtml(Settings());
    FLoadedTopicBaselineHtml = html;
    FUnsavedTopicHtml[FCurrentTopicID] = html;
    FDirtyHtml.clear();
    FAuthorChangedCurrent = false;
    if (!FEditorReady)
        return;
    FPageBaselineHtml.clear();
    FAwaitingSetHtmlEcho = true;
    FSetHtmlSentAtMs = FHost.NowMs();
    FPage.SetHtml(html);
}

std::map<std::string, std::string> TEditingSession::UnsavedTopicTexts() const {
    std::map<std::string, std::string> texts = FUnsavedTopicHtml;
    if (!FCurrentTopicID.empty() && !FDirtyHtml.empty() && IsAuthorChange(FDirtyHtml))
        texts[FCurrentTopicID] = FDirtyHtml;
    return texts;
}

void TEditingSession::RestoreUnsavedTopicTexts(const std::map<std::string, std::string>& texts) {
    bool any = false;
    bool current = false;
    for (const auto& [id, html] : texts) {
        if (!Project().HasTopic(id))
            continue;
        FUnsavedTopicHtml[id] = html;
        any = true;
        current = current || id == FCurrentTopicID;
    }
    if (!any)
        return;
    MarkProjectDirty();
    if (current && FEditorReady) {
        FDirtyHtml.clear();
        LoadTopicIntoEditor(FCurrentTopicID);
    }
}

} // namespace qm
