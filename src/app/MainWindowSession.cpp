// The editing session: one topic at a time travels between its file, the
// caches of unsaved text and the editor page.
#include "MainWindow.h"

#include "ContentsTree.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "i18n/Translation.h"
#include "model/TopicHeaders.h"
#include "workspace/ProjectFolders.h"
#include "workspace/TopicHtmlRules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace qm::app {

namespace {
// The echo of "setHtml" normally arrives within milliseconds; after this long
// the page is taken to have dropped it and author edits count again.
constexpr qint64 kSetHtmlEchoTimeoutMs = 3000;

// Pumps the event loop until done() or the time is up.
template <class Pred> void WaitFor(Pred done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

std::string TfrmMain::TopicFilePath(const std::string& id) const {
    return FProject->TopicHtmlPath(id);
}

void TfrmMain::RequestEditorHtmlAndWait(int timeoutMs) {
    if (!FEditorReady || FBridge == nullptr || FCurrentTopicID.empty())
        return;
    FWaitingHtmlResponse = true;
    FBridge->RequestHtml();
    WaitFor([this] { return !FWaitingHtmlResponse; }, timeoutMs);
    // A late answer must not be taken for the text of whatever topic is
    // current by the time it arrives.
    FWaitingHtmlResponse = false;
}

void TfrmMain::RequestEditorHeaderAndWait(int timeoutMs) {
    if (!FEditorReady || FBridge == nullptr)
        return;
    FWaitingHeaderResponse = true;
    FBridge->RequestHeader();
    WaitFor([this] { return !FWaitingHeaderResponse; }, timeoutMs);
    FWaitingHeaderResponse = false;
}

void TfrmMain::HandleEditorHtmlChanged(const std::string& html) {
    if (FWaitingHtmlResponse) {
        FWaitingHtmlResponse = false;
        FDirtyHtml = html;
        return;
    }
    if (!FBridge->LastHtmlChangeWasUser()) {
        // A late answer to a wait that timed out is dropped; a program change
        // means the page now shows the text it was given.
        if (!FBridge->LastHtmlWasResponse())
            FAwaitingSetHtmlEcho = false;
        return;
    }
    if (FAwaitingSetHtmlEcho && FSetHtmlSentAt.isValid() &&
        FSetHtmlSentAt.elapsed() < kSetHtmlEchoTimeoutMs)
        return; // an edit of the previous topic, overtaken by the topic switch
    FAwaitingSetHtmlEcho = false;
    if (FCurrentTopicID.empty())
        return;
    FDirtyHtml = html;
    MarkProjectDirty();
}

void TfrmMain::HandleEditorHeaderChanged(const std::string& headerHtml,
                                         const std::string& headerBg) {
    if (FIgnoreNextHeaderChanged) {
        FIgnoreNextHeaderChanged = false;
        return;
    }
    FWaitingHeaderResponse = false;
    FHeaderHtml = headerHtml;
    if (!TrimCtl(headerBg).empty())
        FHeaderBg = headerBg;
    SaveHeaderForTopic(*FProject, FCurrentTopicID, FHeaderHtml, FHeaderBg);
}

void TfrmMain::HandleEditorAreaChanged(const std::string& area) {
    FActiveArea = area;
}

void TfrmMain::StashEditorHtml() {
    RequestEditorHtmlAndWait(600);
    if (!FCurrentTopicID.empty() && !FDirtyHtml.empty()) {
        FUnsavedTopicHtml[FCurrentTopicID] = FDirtyHtml;
        FDirtyHtml.clear();
    }
}

void TfrmMain::FlushPendingTopicFiles() {
    for (const auto& [id, text] : FUnsavedTopicHtml) {
        const std::string path = TopicFilePath(id);
        if (!path.empty())
            FPendingTextFiles[path] = text;
    }
    for (const auto& [path, text] : FPendingTextFiles)
        WriteTextFileUtf8(path, text);
    FPendingTextFiles.clear();
    FUnsavedTopicHtml.clear();
    FDirtyHtml.clear();
}

std::string TfrmMain::GetCurrentTopicHtml() {
    if (FCurrentTopicID.empty())
        return "";
    RequestEditorHtmlAndWait(600);
    if (!FDirtyHtml.empty())
        return FDirtyHtml;
    if (auto it = FUnsavedTopicHtml.find(FCurrentTopicID); it != FUnsavedTopicHtml.end())
        return it->second;
    if (!FLoadedTopicBaselineHtml.empty())
        return FLoadedTopicBaselineHtml;
    const std::string path = TopicFilePath(FCurrentTopicID);
    return FileExists(path) ? ReadTextFileUtf8(path) : std::string();
}

void TfrmMain::LoadHeaderForCurrent(const std::string& id) {
    const TTopicHeader h = LoadHeaderForTopic(*FProject, FSettings, id);
    FHeaderHtml = h.Html;
    FHeaderBg = h.Background;
}

void TfrmMain::SaveCurrentHeader() {
    SaveHeaderForTopic(*FProject, FCurrentTopicID, FHeaderHtml, FHeaderBg);
}

void TfrmMain::PushHeaderToEditor() {
    if (!FEditorReady || FBridge == nullptr)
        return;
    FIgnoreNextHeaderChanged = true;
    TProgrammaticScope programmatic(*FBridge);
    FBridge->SetHeaderHtml(FHeaderHtml);
    FBridge->SetHeaderBgColor(FHeaderBg);
}

void TfrmMain::tvTocChange() {
    StashEditorHtml();
    RequestEditorHeaderAndWait(400);
    if (!FCurrentTopicID.empty()) {
        try {
            SaveCurrentHeader();
        } catch (const std::exception&) {
            // The header of the topic being left is not worth stopping the switch for.
        }
    }
    FCurrentTopicID = tvToc->SelectedTopicID();
    if (FCurrentTopicID.empty())
        return;
    LoadHeaderForCurrent(FCurrentTopicID);
    if (FEditorReady) {
        PushHeaderToEditor();
        try {
            LoadTopicIntoEditor(FCurrentTopicID);
        } catch (...) {
            // The page still shows the previous topic's text; keeping the new
            // id would later save that text over the new topic's file.
            FCurrentTopicID.clear();
            FDirtyHtml.clear();
            throw;
        }
    }
}

void TfrmMain::LoadTopicIntoEditor(const std::string& id) {
    const TTopic& topic = FProject->GetTopic(id);
    const std::string path = TopicFilePath(id);
    std::string html;
    if (path.empty()) {
        html = DefaultTopicHtml(FSettings); // an id that cannot name a file is never written
    } else if (FileExists(path)) {
        auto it = FUnsavedTopicHtml.find(id);
        html = it != FUnsavedTopicHtml.end() ? it->second : ReadTextFileUtf8(path);
    } else {
        html = DefaultTopicHtml(FSettings);
        FHeaderHtml = DefaultHeaderHtml(FSettings, topic.Title);
        FHeaderBg = ColorToHtml(FSettings.DefaultHeaderBgColor);
        SaveHeaderForTopic(*FProject, id, FHeaderHtml, FHeaderBg);
        WriteTextFileUtf8(path, html);
    }
    ApplyEditorStylesheet();
    PushHeaderToEditor();
    FLoadedTopicBaselineHtml = html;
    FWaitingHtmlResponse = false;
    FWaitingHeaderResponse = false;
    FAwaitingSetHtmlEcho = true;
    FSetHtmlSentAt.start();
    FBridge->SetHtml(html);
    FDirtyHtml.clear();
    ApplySettingsToEditor();
    SetStatus(Translate("Loaded: ") + topic.Title);
    QueueEditorFocus();
}

void TfrmMain::HandleEditorReady() {
    // A second "ready" means the page was reloaded (or its renderer restarted)
    // and lost what it showed: keep the author's last text before reloading.
    if (FEditorReady && !FCurrentTopicID.empty() && !FDirtyHtml.empty()) {
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
    if (!FCurrentTopicID.empty() && FProject->HasTopic(FCurrentTopicID))
        LoadTopicIntoEditor(FCurrentTopicID);
    QueueEditorFocus();
}

void TfrmMain::UpdateEditorBaseHref() {
    if (FEditorReady && FBridge != nullptr)
        FBridge->SetBaseHref(FilePathToFileUrl(IncludeTrailingPathDelimiter(FProject->RootPath)));
}

void TfrmMain::ApplyEditorStylesheet() {
    if (FBridge == nullptr || !FEditorReady)
        return;
    const std::string path = BuildEditorEffectiveCss(*FProject, FSettings);
    TProgrammaticScope programmatic(*FBridge);
    FBridge->SetCssFile(path);
}

void TfrmMain::QueueEditorFocus() {
    if (FPendingFocusEditor)
        return;
    FPendingFocusEditor = true;
    // Deferred so the click or selection that caused it is handled first.
    QTimer::singleShot(0, this, [this] {
        if (!FPendingFocusEditor)
            return;
        FPendingFocusEditor = false;
        if (FEdge != nullptr && FEdge->isVisible() && FEdge->isEnabled())
            FEdge->setFocus();
    });
}

} // namespace qm::app
