#include "bridge/EditorBridge.h"

#include "bridge/EditorWebPage.h"

#include <QFile>
#include <QUrl>
#include <QWebChannel>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace qm::app {

namespace {

// The object the page reaches through the web channel.
class THostObject final : public QObject {
    Q_OBJECT
public:
    explicit THostObject(TEditorBridge* bridge) : QObject(bridge), FBridge(bridge) {}
    Q_INVOKABLE void postMessage(const QString& json) {
        FBridge->HandleWebMessage(json.toStdString());
    }

private:
    TEditorBridge* FBridge;
};

QString QtWebChannelScript() {
    QFile f(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString TEditorBridge::HostShimScript() {
    // Qt's channel library goes inside the same function as the shim, so the
    // page's global scope gains chrome.webview and nothing else of ours.
    return QStringLiteral("(function () {\n") + QtWebChannelScript() + QStringLiteral(R"JS(
;
if (window.chrome && window.chrome.webview) return;
var queue = [];
var host = null;
window.chrome = window.chrome || {};
window.chrome.webview = {
  // Like the browser's own channel: the object travels as JSON text; what
  // cannot be serialised throws here, in the caller.
  postMessage: function (message) {
    var text = JSON.stringify(message);
    if (typeof text !== 'string') return;
    if (host) host.postMessage(text); else queue.push(text);
  }
};
// Messages posted before the channel has finished its handshake wait in the
// queue and go out in order. The transport object is normally there already
// at document creation; should it come late, keep looking for it.
function connect(attempt) {
  if (window.qt && window.qt.webChannelTransport) {
    new QWebChannel(window.qt.webChannelTransport, function (channel) {
      host = channel.objects.qzHost;
      var pending = queue;
      queue = [];
      pending.forEach(function (t) { host.postMessage(t); });
    });
  } else if (attempt < 600) {
    setTimeout(function () { connect(attempt + 1); }, attempt < 100 ? 10 : 50);
  }
}
connect(0);
})();
)JS");
}

TEditorBridge::TEditorBridge(QWebEngineView* edge, QObject* parent) : QObject(parent), FEdge(edge) {
    if (FEdge == nullptr)
        return;
    QWebEnginePage* page = FEdge->page();
    auto* channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("qzHost"), new THostObject(this));
    page->setWebChannel(channel);

    QWebEngineScript shim;
    shim.setName(QStringLiteral("qz-host-shim"));
    shim.setInjectionPoint(QWebEngineScript::DocumentCreation);
    shim.setWorldId(QWebEngineScript::MainWorld);
    shim.setRunsOnSubFrames(false);
    shim.setSourceCode(HostShimScript());
    for (const auto& old : page->scripts().find(shim.name()))
        page->scripts().remove(old);
    page->scripts().insert(shim);

    // Now and then Qt WebEngine does not run a document-creation script in a
    // new document (seen when a new view loads the page right after other
    // views went away), and the page would never get its channel. The page
    // keeps looking for chrome.webview after it has loaded, so installing the
    // same script then still connects it; where the channel is there already
    // the script does nothing.
    connect(page, &QWebEnginePage::loadFinished, this, [this, source = shim.sourceCode()](bool ok) {
        if (ok && FEdge != nullptr)
            FEdge->page()->runJavaScript(source);
    });
}

void TEditorBridge::RunScript(const std::string& script) {
    if (FEdge != nullptr)
        FEdge->page()->runJavaScript(QString::fromStdString(script));
}

void TEditorBridge::SendToPage(const Json& message) {
    emit MessageSent(JsonWrite(message));
    RunScript(BuildSendScript(message));
}

void TEditorBridge::SetHtml(const std::string& html) {
    SendToPage(MakeSetHtmlMessage(html));
}
void TEditorBridge::RequestHtml() {
    SendToPage(MakeTypeMessage("getHtml"));
}
void TEditorBridge::RequestHeader() {
    SendToPage(MakeTypeMessage("getHeader"));
}

void TEditorBridge::ExecCommand(const std::string& cmd, const std::string& arg) {
    SendToPage(MakeExecMessage(cmd, arg, FProgrammaticDepth > 0));
}

void TEditorBridge::SetCssFile(const std::string& p) {
    ExecCommand("setCssFile", p);
}
void TEditorBridge::SetFontName(const std::string& f) {
    ExecCommand("fontName", f);
}
void TEditorBridge::SetFontSizePx(int px) {
    ExecCommand("fontSizePx", std::to_string(px));
}
void TEditorBridge::SetTextColor(const std::string& c) {
    ExecCommand("foreColor", c);
}
void TEditorBridge::SetTextBackColor(const std::string& c) {
    ExecCommand("backColor", c);
}
void TEditorBridge::SetAlign(TTextAlign a) {
    ExecCommand("align", AlignArg(a));
}
void TEditorBridge::InsertTable(int rows, int cols) {
    ExecCommand("table", TableArg(rows, cols));
}
void TEditorBridge::SetLineSpacing(double lh) {
    ExecCommand("lineHeight", LineSpacingArg(lh));
}
void TEditorBridge::RemoveSelectedImage() {
    ExecCommand("removeSelectedImage");
}
void TEditorBridge::ReplaceSelectedImage(const std::string& s) {
    ExecCommand("replaceSelectedImage", s);
}
void TEditorBridge::SetHeaderHtml(const std::string& h) {
    ExecCommand("setHeaderHtml", h);
}
void TEditorBridge::SetHeaderBgColor(const std::string& c) {
    ExecCommand("setHeaderBg", c);
}
void TEditorBridge::SetTableBorderStyle(const std::string& s) {
    ExecCommand("setTableBorderStyle", s);
}
void TEditorBridge::SetTableBorderWidth(int px) {
    ExecCommand("setTableBorderWidth", std::to_string(px));
}
void TEditorBridge::SetTableBorderColor(const std::string& c) {
    ExecCommand("setTableBorderColor", c);
}
void TEditorBridge::SetPageBgColor(const std::string& c) {
    ExecCommand("setPageBg", c);
}

void TEditorBridge::NavigateToEditor(const std::string& editorHtmlFile) {
    if (FEdge != nullptr)
        FEdge->setUrl(QUrl(QString::fromStdString(FilePathToFileUrl(editorHtmlFile))));
}

void TEditorBridge::SetBaseHref(const std::string& href) {
    RunScript("qzSetBaseHref(" + QuoteJsString(href) + ");");
}

void TEditorBridge::HandleWebMessage(const std::string& jsonText) {
    const auto m = ParseEditorMessage(jsonText);
    if (!m)
        return;
    if (m->Type == "ready") {
        emit OnReady();
    } else if (m->Type == "htmlchanged" || m->Type == "htmlresponse") {
        FLastHtmlWasResponse = m->Type == "htmlresponse";
        FLastHtmlChangeWasUser = !FLastHtmlWasResponse && m->Flag("user");
        emit OnHtmlChanged(m->Text("html"));
    } else if (m->Type == "cursorstyle") {
        emit OnCursorStyle(ReadCursorStyle(*m));
    } else if (m->Type == "headerchanged") {
        emit OnHeaderChanged(m->Text("headerHtml"), m->Text("headerBg"));
    } else if (m->Type == "areachanged") {
        emit OnAreaChanged(m->Text("area"));
    } else if (m->Type == "findresult") {
        emit OnFindResult(m->Int("count"), m->Int("current"), m->Int("replaced"));
    }
}

} // namespace qm::app

#include "EditorBridge.moc"
