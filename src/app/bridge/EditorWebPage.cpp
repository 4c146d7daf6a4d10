#include "bridge/EditorWebPage.h"

#include "i18n/Translation.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineSettings>

#include <algorithm>
#include <utility>

namespace qm::app {

namespace {

// A renderer that dies again this soon after being brought back is left dead
// rather than restarted in a loop (a topic that crashes it would do that).
constexpr qint64 kMinRecoveryIntervalMs = 10000;

bool IsLocalScheme(const QString& scheme) {
    return scheme == QLatin1String("file") || scheme == QLatin1String("data") ||
           scheme == QLatin1String("blob") || scheme == QLatin1String("qrc");
}

} // namespace

void TLocalOnlyInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!IsLocalScheme(info.requestUrl().scheme()))
        info.block(true);
}

TEditorWebPage::TEditorWebPage(QObject* parent)
    : QWebEnginePage(parent), FInterceptor(new TLocalOnlyInterceptor(this)) {
    setUrlRequestInterceptor(FInterceptor);
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, true);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    connect(
        this, &QWebEnginePage::renderProcessTerminated, this,
        [this](RenderProcessTerminationStatus status, int) { RecoverFromRendererExit(status); });
}

bool TEditorWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                             bool isMainFrame) {
    // Frames inside a topic may show other local pages; the editor itself is
    // only ever replaced by the program's own load (setUrl/load arrive as
    // "typed"). Links, scripted moves, forms and reloads arrive as other types.
    if (!isMainFrame)
        return url.isLocalFile() || url.scheme() == QLatin1String("about");
    return type == NavigationTypeTyped && url.isLocalFile();
}

QWebEnginePage* TEditorWebPage::createWindow(WebWindowType) {
    return nullptr;
}

void TEditorWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                              const QString&) {
    // Script errors inside the page are not the author's concern and are
    // ignored by design; the page keeps working after a failed message.
}

void TEditorWebPage::RecoverFromRendererExit(RenderProcessTerminationStatus status) {
    if (status == NormalTerminationStatus)
        return;
    if (FLastRecovery.isValid() && FLastRecovery.elapsed() < kMinRecoveryIntervalMs)
        return;
    FLastRecovery.start();
    // Loading from inside the termination handler is not supported; defer it.
    // The page then reports "ready" again and the program pushes its state.
    const QUrl page = url();
    if (!page.isLocalFile())
        return;
    QTimer::singleShot(0, this, [this, page] { load(page); });
}

TEditorWebView::TEditorWebView(QWidget* parent) : QWebEngineView(parent) {
    setPage(new TEditorWebPage(this));
}

void TEditorWebView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // Reload would throw the page's state away behind the program's back;
    // history, saving, viewing the source and opening or downloading links
    // have no place in an editor.
    static constexpr QWebEnginePage::WebAction kNotOffered[] = {
        QWebEnginePage::Back,
        QWebEnginePage::Forward,
        QWebEnginePage::Stop,
        QWebEnginePage::Reload,
        QWebEnginePage::ReloadAndBypassCache,
        QWebEnginePage::OpenLinkInThisWindow,
        QWebEnginePage::OpenLinkInNewWindow,
        QWebEnginePage::OpenLinkInNewTab,
        QWebEnginePage::OpenLinkInNewBackgroundTab,
        QWebEnginePage::DownloadLinkToDisk,
        QWebEnginePage::DownloadImageToDisk,
        QWebEnginePage::DownloadMediaToDisk,
        QWebEnginePage::SavePage,
        QWebEnginePage::ViewSource,
        QWebEnginePage::InspectElement,
    };
    for (const auto action : kNotOffered)
        menu->removeAction(page()->action(action));

    // On a link the browser offers its link menu instead of the editing
    // actions; inside the editor the link is text, so the editing actions
    // belong there as well.
    const QWebEngineContextMenuRequest* request = lastContextMenuRequest();
    QAction* paste = page()->action(QWebEnginePage::Paste);
    if (request != nullptr && request->isContentEditable() && !menu->actions().contains(paste)) {
        using Flag = QWebEngineContextMenuRequest::EditFlag;
        const auto flags = request->editFlags();
        const std::pair<QWebEnginePage::WebAction, Flag> editing[] = {
            {QWebEnginePage::Cut, Flag::CanCut},
            {QWebEnginePage::Copy, Flag::CanCopy},
            {QWebEnginePage::Paste, Flag::CanPaste},
            {QWebEnginePage::SelectAll, Flag::CanSelectAll},
        };
        QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().constFirst();
        for (const auto& [action, flag] : editing) {
            QAction* a = page()->action(action);
            a->setEnabled(flags.testFlag(flag));
            menu->insertAction(first, a);
        }
        if (first != nullptr)
            menu->insertSeparator(first);
    }

    // The suggestions come first, then a separator; the word's own entry
    // belongs with them.
    if (request != nullptr && !request->misspelledWord().isEmpty()) {
        const QString word = request->misspelledWord();
        QAction* before = nullptr;
        for (QAction* a : menu->actions())
            if (a->isSeparator()) {
                before = a;
                break;
            }
        auto* add = new QAction(QString::fromStdString(Translate("Add to Dictionary")), menu);
        add->setObjectName(QStringLiteral("AddToDictionary1"));
        connect(add, &QAction::triggered, this,
                [this, word] { emit AddToDictionaryRequested(word); });
        menu->insertAction(before, add);
        if (before == nullptr)
            menu->insertSeparator(add);
    }

    const auto actions = menu->actions();
    if (std::none_of(actions.begin(), actions.end(),
                     [](const QAction* a) { return !a->isSeparator() && a->isVisible(); })) {
        delete menu;
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace qm::app
