#pragma once
// The host side of the editor page protocol on a Qt WebEngine view: method
// calls become messages for the page, the page's messages become signals.
#include "editor/EditorProtocol.h"
#include "workspace/EditorPage.h"

#include <QObject>
#include <QPointer>

#include <string>

class QWebEngineView;

namespace qm::app {

class TEditorBridge final : public QObject, public TEditorPage {
    Q_OBJECT
public:
    // Installs the message channel on the view's page; the view is not owned.
    explicit TEditorBridge(QWebEngineView* edge, QObject* parent = nullptr);

    void SetHtml(const std::string& html) override;
    void RequestHtml() override;
    void RequestHeader() override;
    void ExecCommand(const std::string& cmd, const std::string& arg = {});

    void SetCssFile(const std::string& cssFilePath) override;
    void SetFontName(const std::string& fontName) override;
    void SetFontSizePx(int px) override;
    void SetTextColor(const std::string& colorHtml) override;
    void SetTextBackColor(const std::string& colorHtml) override;
    void SetAlign(TTextAlign align);
    void InsertTable(int rows, int cols);
    void SetLineSpacing(double lineHeight) override;
    void RemoveSelectedImage();
    void ReplaceSelectedImage(const std::string& src);
    void SetHeaderHtml(const std::string& headerHtml) override;
    void SetHeaderBgColor(const std::string& colorHtml) override;
    void SetTableBorderStyle(const std::string& borderStyle) override;
    void SetTableBorderWidth(int px) override;
    void SetTableBorderColor(const std::string& colorHtml) override;
    void SetPageBgColor(const std::string& colorHtml) override;

    void NavigateToEditor(const std::string& editorHtmlFile) override;
    void SetBaseHref(const std::string& href) override;

    // Commands sent between Begin and End are reported by the page as not the
    // author's; nests, and End never goes below zero.
    void BeginProgrammatic() override { ++FProgrammaticDepth; }
    void EndProgrammatic() override {
        if (FProgrammaticDepth > 0)
            --FProgrammaticDepth;
    }
    [[nodiscard]] int ProgrammaticDepth() const { return FProgrammaticDepth; }
    [[nodiscard]] bool LastHtmlChangeWasUser() const { return FLastHtmlChangeWasUser; }
    // Whether the last html message answered "getHtml" (rather than reporting a change).
    [[nodiscard]] bool LastHtmlWasResponse() const { return FLastHtmlWasResponse; }

    // Every message the page posts arrives here as JSON text.
    void HandleWebMessage(const std::string& jsonText);

    // The script that runs before the page's own (and once more after loading,
    // should Qt have skipped it): chrome.webview.postMessage on top of the web
    // channel, holding messages until the channel is up.
    [[nodiscard]] static QString HostShimScript();

signals:
    void OnReady();
    void OnHtmlChanged(const std::string& html);
    void OnCursorStyle(const qm::TEditorCursorStyle& style);
    void OnHeaderChanged(const std::string& headerHtml, const std::string& headerBgHtml);
    void OnAreaChanged(const std::string& area);
    // The page's answer to a find command: matches, the current one (from 1;
    // 0 for none) and how many a replace command replaced.
    void OnFindResult(int count, int current, int replaced);
    // Every message sent to the page, as JSON text (tests and diagnostics).
    void MessageSent(const std::string& json);

private:
    void SendToPage(const Json& message);
    void RunScript(const std::string& script);

    QPointer<QWebEngineView> FEdge;
    int FProgrammaticDepth = 0;
    bool FLastHtmlChangeWasUser = false;
    bool FLastHtmlWasResponse = false;
};

} // namespace qm::app
