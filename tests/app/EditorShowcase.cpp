// Shows the editor page in the program's view, filled the way the main window
// fills it (base address, style sheet, header, surface settings, a topic with
// formatted text, a table and an image), and saves a picture of the window.
// For looking at the page as the author will see it:
//     editor_showcase OUT.png        (under xvfb-run, or offscreen by default)
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "platform/ProgramFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <string>

#include <unistd.h>

using namespace qm;
using namespace qm::app;

namespace {

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QVariant RunJs(QWebEnginePage* page, const QString& script) {
    bool finished = false;
    QVariant result;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        finished = true;
    });
    WaitFor([&] { return finished; }, 10000);
    return result;
}

const char* const kHeader =
    "<div style=\"font-size:13px;font-family:Segoe UI, Arial, sans-serif;color:#3b4a5a;\">"
    "<b>Northwind Planner</b> \xC2\xB7 User Guide</div>";

const char* const kTopic =
    "<h1>Your first plan</h1>"
    "<p>Choose <b>File \xE2\x80\xBA New Plan</b> and give the plan a <i>name</i>. "
    "Names may hold <u>any letters</u>: \xC3\xA9t\xC3\xA9, \xD0\x9F\xD0\xBB\xD0\xB0\xD0\xBD, "
    "\xE8\xAE\xA1\xE5\x88\x92. "
    "<span style=\"color: #C0392B\">Red text</span>, "
    "<span style=\"background-color: #FFF3B0\">highlighted text</span> and a "
    "<a href=\"doc:AD3BBB53474437C0C2C6AEEDDE8E2D17\">link to another topic</a>.</p>"
    "<ul><li>A list item</li><li>Another item with <code>code</code></li></ul>"
    "<h2>Views</h2>"
    "<table><tbody><tr><th>View</th><th>Best for</th></tr>"
    "<tr><td>Board</td><td>Daily work and stand-ups</td></tr>"
    "<tr><td>List</td><td>Sorting and bulk changes</td></tr>"
    "<tr><td>Timeline</td><td>Deadlines and dependencies</td></tr></tbody></table>"
    "<p style=\"text-align: center\"><img id=\"board\" src=\"assets/images/board.png\" "
    "alt=\"The board view of a new plan\" width=\"480\"></p>"
    "<p>The plan opens in the board view.</p>";

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: editor_showcase OUT.png\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium's sandbox refuses to start as root.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);

    const std::string dataDir = platform::FindProgramDataDir(platform::ExecutablePath());
    if (dataDir.empty()) {
        std::fprintf(stderr, "program files not found beside the executable\n");
        return 1;
    }
    const std::string project = std::string(QUILLMATE_SOURCE_DIR) + "/examples/sample/Sample/";

    QWidget window;
    window.setWindowTitle(QStringLiteral("Editor showcase"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new TEditorWebView(&window);
    layout->addWidget(view);
    TEditorBridge bridge(view);
    bool ready = false;
    QObject::connect(&bridge, &TEditorBridge::OnReady, [&] { ready = true; });
    window.resize(1000, 760);
    window.show();

    bridge.NavigateToEditor(dataDir + "/AppFiles/editor/editor.html");
    if (!WaitFor([&] { return ready; }, 30000)) {
        std::fprintf(stderr, "the editor page never reported \"ready\"\n");
        return 1;
    }

    // What the main window pushes on "ready".
    bridge.SetBaseHref(FilePathToFileUrl(project));
    {
        TProgrammaticScope programmatic(bridge);
        bridge.SetCssFile(project + "styles/default.css");
        bridge.SetHeaderHtml(kHeader);
        bridge.SetHeaderBgColor("#E7EFF5");
        bridge.SetPageBgColor("#FFFFFF");
        bridge.SetTextColor("#1F2328");
        bridge.SetTextBackColor("");
        bridge.SetFontName("Segoe UI");
        bridge.SetFontSizePx(16);
        bridge.SetLineSpacing(1.5);
        bridge.SetTableBorderStyle("solid");
        bridge.SetTableBorderWidth(1);
        bridge.SetTableBorderColor("#999999");
    }
    bridge.SetHtml(kTopic);

    QWebEnginePage* page = view->page();
    const bool settled = WaitFor(
        [&] {
            return RunJs(page,
                         QStringLiteral("(function () {"
                                        "  var img = document.getElementById('board');"
                                        "  var css = document.getElementById('qz-content-css');"
                                        "  return !!img && img.complete && img.naturalWidth > 0 &&"
                                        "    !!css && !!css.sheet;"
                                        "})()"))
                .toBool();
        },
        10000);
    if (!settled)
        std::fprintf(stderr, "warning: the image or the style sheet did not load\n");

    // A caret in the text, as after a click there.
    view->setFocus();
    RunJs(page, QStringLiteral("(function () {"
                               "  var p = document.querySelector('qz-body p');"
                               "  p.parentNode.focus();"
                               "  var r = document.createRange();"
                               "  r.setStart(p.firstChild, 6); r.collapse(true);"
                               "  var s = getSelection(); s.removeAllRanges(); s.addRange(r);"
                               "})()"));
    // Give the compositor a few frames to paint what has changed.
    WaitFor([] { return false; }, 500);

    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return settled ? 0 : 1;
}
