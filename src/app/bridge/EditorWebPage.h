#pragma once
// The web view that shows the editor page: local files only, no navigation
// away from the page, no reload or link opening from the context menu, and a
// fresh page when its renderer dies.
#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace qm::app {

// Lets file:, data:, blob: and qrc: through and nothing from the network.
class TLocalOnlyInterceptor final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

class TEditorWebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    explicit TEditorWebPage(QObject* parent = nullptr);

protected:
    // Only the program's own loads replace the page; links, scripts, forms and
    // reloads would replace the editor (and the author's text) with something else.
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    void RecoverFromRendererExit(RenderProcessTerminationStatus status);

    TLocalOnlyInterceptor* FInterceptor;
    QElapsedTimer FLastRecovery;
};

class TEditorWebView final : public QWebEngineView {
    Q_OBJECT
public:
    explicit TEditorWebView(QWidget* parent = nullptr);

signals:
    // "Add to Dictionary" on a word the checker marked.
    void AddToDictionaryRequested(const QString& word);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace qm::app
