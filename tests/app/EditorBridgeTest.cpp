// The editor bridge against the real editor page in Qt WebEngine, offscreen:
// the injected channel, messages both ways, the origin of commands, the
// content style sheet, and what the view refuses to load or navigate to.
#include "bridge/EditorBridge.h"
#include "AppTestSupport.h"
#include "bridge/EditorWebPage.h"
#include "platform/ProgramFiles.h"

#include "TempDir.h"

#include <QApplication>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/types.h>

using namespace qm;
using namespace qm::app;
using qm::test::WaitUntil;

namespace {

std::string EditorPagePath() {
    const std::string dataDir = platform::FindProgramDataDir(platform::ExecutablePath());
    return dataDir.empty() ? std::string() : dataDir + "/AppFiles/editor/editor.html";
}

// A text as a JavaScript string literal, for building probe scripts.
QString JsLiteral(const QString& text) {
    return QString::fromStdString(QuoteJsString(text.toStdString()));
}

struct THtmlEvent {
    std::string Html;
    bool User;
    bool Response;
};

struct THeaderEvent {
    std::string Html;
    std::string Bg;
};

// One offscreen view with the editor's web page and a bridge on it, and
// everything the bridge reports, in order of arrival.
class TEditorUnderTest {
public:
    TEditorUnderTest() : FBridge(&FView) {
        QObject::connect(&FBridge, &TEditorBridge::OnReady, [this] { ++Ready; });
        QObject::connect(&FBridge, &TEditorBridge::OnHtmlChanged, [this](const std::string& html) {
            Html.push_back({html, FBridge.LastHtmlChangeWasUser(), FBridge.LastHtmlWasResponse()});
        });
        QObject::connect(&FBridge, &TEditorBridge::OnCursorStyle,
                         [this](const TEditorCursorStyle& s) { Cursor.push_back(s); });
        QObject::connect(&FBridge, &TEditorBridge::OnHeaderChanged,
                         [this](const std::string& h, const std::string& bg) {
                             Header.push_back({h, bg});
                         });
        QObject::connect(&FBridge, &TEditorBridge::OnAreaChanged,
                         [this](const std::string& a) { Areas.push_back(a); });
        FView.resize(900, 700);
        FView.show();
    }

    bool Load(const std::string& htmlFile) {
        FBridge.NavigateToEditor(htmlFile);
        return WaitUntil([this] { return Ready > 0; });
    }

    void ClearEvents() {
        Html.clear();
        Cursor.clear();
        Header.clear();
        Areas.clear();
    }

    // Replaces the body and waits for the page to report it.
    bool SetBody(const std::string& html) {
        ClearEvents();
        FBridge.SetHtml(html);
        const bool reported = WaitUntil([this] { return !Html.empty(); }, 5000);
        ClearEvents();
        return reported;
    }

    QVariant Js(const QString& script) { return qm::test::RunJs(FView.page(), script); }
    // The script's result as text, for readable failures.
    std::string Text(const QString& script) { return Js(script).toString().toStdString(); }

    // Puts the selection into the first text under the element `selector`
    // finds inside the body, from offset `from` to `to`.
    void Select(const char* selector, int from, int to) {
        Js(QStringLiteral(
               "(function () {"
               "  var el = document.querySelector('qz-body ' + %1);"
               "  var t = document.createTreeWalker(el, NodeFilter.SHOW_TEXT).nextNode();"
               "  var r = document.createRange();"
               "  r.setStart(t, %2); r.setEnd(t, %3);"
               "  var s = getSelection(); s.removeAllRanges(); s.addRange(r);"
               "})()")
               .arg(JsLiteral(QString::fromUtf8(selector)))
               .arg(from)
               .arg(to));
    }

    // The centre of an element, in the view's coordinates.
    QPoint CentreOf(const QString& selector) {
        const auto rect =
            QJsonDocument::fromJson(Js(QStringLiteral("JSON.stringify(document.querySelector(%1)"
                                                      ".getBoundingClientRect())")
                                           .arg(JsLiteral(selector)))
                                        .toString()
                                        .toUtf8())
                .object();
        return {static_cast<int>(rect[QStringLiteral("x")].toDouble() +
                                 rect[QStringLiteral("width")].toDouble() / 2),
                static_cast<int>(rect[QStringLiteral("y")].toDouble() +
                                 rect[QStringLiteral("height")].toDouble() / 2)};
    }

    QWidget* Surface() { return FView.focusProxy() != nullptr ? FView.focusProxy() : &FView; }

    TEditorWebView& View() { return FView; }
    TEditorBridge& Bridge() { return FBridge; }

    int Ready = 0;
    std::vector<THtmlEvent> Html;
    std::vector<TEditorCursorStyle> Cursor;
    std::vector<THeaderEvent> Header;
    std::vector<std::string> Areas;

private:
    TEditorWebView FView;
    TEditorBridge FBridge;
};

// A listener on the loopback interface that counts who connects: a request
// that escaped the view would show up here.
class TConnectionCounter {
public:
    TConnectionCounter() {
        Listening = FServer.listen(QHostAddress::LocalHost);
        QObject::connect(&FServer, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = FServer.nextPendingConnection()) {
                ++Count;
                s->close();
                s->deleteLater();
            }
        });
    }
    [[nodiscard]] QString Origin() const {
        return QStringLiteral("127.0.0.1:%1").arg(FServer.serverPort());
    }
    bool Listening = false;
    int Count = 0;

private:
    QTcpServer FServer;
};

// The editor page is loaded once and shared by the tests of the suite; each
// test sets up the body it needs.
class EditorBridge : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FEditor = std::make_unique<TEditorUnderTest>();
        FLoaded = !EditorPagePath().empty() && FEditor->Load(EditorPagePath());
    }
    static void TearDownTestSuite() { FEditor.reset(); }

    void SetUp() override {
        ASSERT_TRUE(FLoaded) << "the editor page at '" << EditorPagePath()
                             << "' never reported \"ready\"";
        // Settle what the previous test left in flight.
        qm::test::Pump(50);
        Editor().ClearEvents();
    }

    static TEditorUnderTest& Editor() { return *FEditor; }
    static TEditorBridge& Bridge() { return FEditor->Bridge(); }

private:
    static inline std::unique_ptr<TEditorUnderTest> FEditor;
    static inline bool FLoaded = false;
};

TEST_F(EditorBridge, ChannelAndHostScriptsWorkUnderThePageScriptPolicy) {
    // "ready" came through the injected chrome.webview, once.
    EXPECT_EQ(Editor().Ready, 1);
    EXPECT_EQ(Editor().Text(QStringLiteral("typeof chrome.webview.postMessage")), "function");
    // The channel library stays out of the page's global names.
    EXPECT_EQ(Editor().Text(QStringLiteral("typeof QWebChannel")), "undefined");

    // The policy itself is in force: an inline handler in topic HTML stays inert.
    ASSERT_TRUE(Editor().SetBody("<p><img id=\"probe\" src=\"no-such-image.png\" "
                                 "onerror=\"window.qmInlineRan = true\"></p>"));
    ASSERT_TRUE(WaitUntil([] {
        return Editor().Js(QStringLiteral("document.getElementById('probe').complete")).toBool();
    }));
    qm::test::Pump(100);
    EXPECT_EQ(Editor().Text(QStringLiteral("typeof window.qmInlineRan")), "undefined");
}

TEST_F(EditorBridge, SetHtmlThenRequestHtmlRoundTripsTheText) {
    struct Case {
        const char* name;
        std::string html;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"quotes and backslashes",
         R"(<p>She said "yes" &amp; 'no' to C:\Docs\new\ and \"escaped\"</p>)",
         R"(<p>She said "yes" &amp; 'no' to C:\Docs\new\ and \"escaped\"</p>)"},
        {"line feeds and tabs", "<p>one\ntwo</p>\n<pre>first\n\tsecond\n</pre>",
         "<p>one\ntwo</p>\n<pre>first\n\tsecond\n</pre>"},
        // The HTML parser itself turns CR LF into LF; the CR still has to get
        // through the script literal for that to happen.
        {"carriage returns", "<p>one\r\ntwo\rthree</p>", "<p>one\ntwo\nthree</p>"},
        {"letters beyond ASCII",
         "<h2>\xC3\x9C"
         "berschrift \xC3\xA9t\xC3\xA9</h2><p>\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82, "
         "\xE4\xB8\xAD\xE6\x96\x87, \xF0\x9F\x98\x80, \xE2\x80\xA8 separator</p>",
         "<h2>\xC3\x9C"
         "berschrift \xC3\xA9t\xC3\xA9</h2><p>\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82, "
         "\xE4\xB8\xAD\xE6\x96\x87, \xF0\x9F\x98\x80, \xE2\x80\xA8 separator</p>"},
        {"markup that looks like script", "<p>&lt;/script&gt;&lt;script&gt;x()&lt;/script&gt;</p>",
         "<p>&lt;/script&gt;&lt;script&gt;x()&lt;/script&gt;</p>"},
        {"empty body", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor().ClearEvents();
        Bridge().SetHtml(c.html);
        ASSERT_TRUE(WaitUntil([] { return !Editor().Html.empty(); }, 5000));
        EXPECT_EQ(Editor().Html.front().Html, c.expected);
        EXPECT_FALSE(Editor().Html.front().User);
        EXPECT_FALSE(Editor().Html.front().Response);

        Editor().ClearEvents();
        Bridge().RequestHtml();
        ASSERT_TRUE(WaitUntil([] { return !Editor().Html.empty(); }, 5000));
        EXPECT_EQ(Editor().Html.back().Html, c.expected);
        EXPECT_TRUE(Editor().Html.back().Response);
        EXPECT_FALSE(Bridge().LastHtmlChangeWasUser());
    }
}

TEST_F(EditorBridge, CommandsCarryTheOriginOfTheirBracket) {
    struct Case {
        const char* name;
        int begins;
        int ends;
        bool user;
    };
    const Case cases[] = {
        {"outside any bracket", 0, 0, true},
        {"inside a bracket", 1, 0, false},
        {"nested, the inner one closed", 2, 1, false},
        {"after the bracket closed", 1, 1, true},
        {"End without Begin", 0, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Editor().SetBody("<p>alpha beta</p>"));
        Editor().Select("p", 0, 5);
        for (int i = 0; i < c.begins; ++i)
            Bridge().BeginProgrammatic();
        for (int i = 0; i < c.ends; ++i)
            Bridge().EndProgrammatic();
        Bridge().ExecCommand("bold");
        while (Bridge().ProgrammaticDepth() > 0)
            Bridge().EndProgrammatic();

        ASSERT_TRUE(WaitUntil([] { return !Editor().Html.empty(); }, 5000));
        EXPECT_EQ(Editor().Html.back().Html, "<p><b>alpha</b> beta</p>");
        EXPECT_EQ(Editor().Html.back().User, c.user);
        EXPECT_EQ(Bridge().LastHtmlChangeWasUser(), c.user);
    }
}

TEST_F(EditorBridge, HeaderPushesEditsAndAnswersReachTheHost) {
    const std::string header = "<p>Guide <b>Header</b> \xC3\xA9t\xC3\xA9</p>";
    {
        TProgrammaticScope programmatic(Bridge());
        Bridge().SetHeaderHtml(header);
        Bridge().SetHeaderBgColor("#FFEEDD");
    }
    ASSERT_TRUE(WaitUntil([&] {
        return !Editor().Header.empty() && Editor().Header.back().Html == header &&
               Editor().Header.back().Bg == "#FFEEDD";
    }));
    EXPECT_EQ(Editor().Text(QStringLiteral(
                  "getComputedStyle(document.querySelector('qz-header')).backgroundColor")),
              "rgb(255, 238, 221)");

    Editor().ClearEvents();
    Bridge().RequestHeader();
    ASSERT_TRUE(WaitUntil([] { return !Editor().Header.empty(); }, 5000));
    EXPECT_EQ(Editor().Header.front().Html, header);
    EXPECT_EQ(Editor().Header.front().Bg, "#FFEEDD");

    // The author types into the header: the change and the area it happened in.
    Editor().ClearEvents();
    Editor().View().setFocus();
    Editor().Js(QStringLiteral("(function () {"
                               "  var h = document.querySelector('qz-header');"
                               "  h.focus();"
                               "  var r = document.createRange();"
                               "  r.selectNodeContents(h.querySelector('b')); r.collapse(false);"
                               "  var s = getSelection(); s.removeAllRanges(); s.addRange(r);"
                               "  document.execCommand('insertText', false, 'Text');"
                               "})()"));
    ASSERT_TRUE(WaitUntil([] { return !Editor().Header.empty(); }, 5000));
    EXPECT_EQ(Editor().Header.back().Html, "<p>Guide <b>HeaderText</b> \xC3\xA9t\xC3\xA9</p>");
    EXPECT_EQ(Editor().Header.back().Bg, "#FFEEDD");
    ASSERT_TRUE(WaitUntil([] { return !Editor().Areas.empty(); }, 5000));
    EXPECT_EQ(Editor().Areas.back(), "header");

    // Back to the body for the tests that follow.
    Editor().Js(QStringLiteral("document.querySelector('qz-body').focus()"));
    EXPECT_TRUE(
        WaitUntil([] { return !Editor().Areas.empty() && Editor().Areas.back() == "body"; }, 5000));
}

TEST_F(EditorBridge, CursorStyleReportsTheFormattingAtTheCaret) {
    struct Case {
        const char* name;
        std::string html;
        const char* caretIn;
        std::function<bool(const TEditorCursorStyle&)> matches;
    };
    const Case cases[] = {
        {"bold italic heading, centred",
         "<h2 style=\"text-align: center\"><b><i>Heading</i></b></h2>", "i",
         [](const TEditorCursorStyle& s) {
             return s.Area == "body" && s.Bold && s.Italic && !s.Underline && s.BlockTag == "h2" &&
                    s.Align == "center" && s.ListType.empty() && s.FontSizePx > 0;
         }},
        {"underlined list item", "<ul><li><u>Item</u></li></ul>", "u",
         [](const TEditorCursorStyle& s) {
             return s.Underline && !s.Bold && s.ListType == "ul" && s.Align == "left";
         }},
        {"sized and coloured span",
         "<p><span style=\"font-size: 22px; color: #123456; background-color: #FFFF00\">"
         "Sized</span></p>",
         "span",
         [](const TEditorCursorStyle& s) {
             return s.FontSizePx == 22 && s.TextColorHtml == "#123456" &&
                    s.BackColorHtml == "#FFFF00" && s.BlockTag == "p";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Editor().SetBody(c.html));
        Editor().Select(c.caretIn, 2, 2);
        // Reports for the caret's previous place may still arrive first.
        EXPECT_TRUE(WaitUntil(
            [&] { return !Editor().Cursor.empty() && c.matches(Editor().Cursor.back()); }, 5000));
        if (!Editor().Cursor.empty()) {
            const auto& s = Editor().Cursor.back();
            SCOPED_TRACE("last report: area=" + s.Area + " font=" + s.FontName +
                         " size=" + std::to_string(s.FontSizePx) + " color=" + s.TextColorHtml +
                         " back=" + s.BackColorHtml + " align=" + s.Align + " block=" + s.BlockTag +
                         " list=" + s.ListType);
            EXPECT_TRUE(c.matches(s));
        }
    }
}

TEST_F(EditorBridge, SetCssFileLoadsTheSheetFromAnyFolderName) {
    struct Case {
        const char* folder;
        const char* color;
    };
    const Case cases[] = {
        {"Styles with space #1", "rgb(1, 128, 3)"},
        {"50% done #2", "rgb(4, 5, 200)"},
        {"\xD0\xA1\xD1\x82\xD0\xB8\xD0\xBB\xD0\xB8 \xC3\xA9", "rgb(150, 7, 8)"},
    };
    qm::test::TTempDir dir;
    ASSERT_TRUE(Editor().SetBody("<p>Styled text</p>"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string css = dir / (std::string(c.folder) + "/content.css");
        qm::test::WriteFile(css, std::string("qz-body p { color: ") + c.color + "; }\n");
        {
            TProgrammaticScope programmatic(Bridge());
            Bridge().SetCssFile(css);
        }
        std::string seen;
        EXPECT_TRUE(WaitUntil(
            [&] {
                seen = Editor().Text(
                    QStringLiteral("getComputedStyle(document.querySelector('qz-body p')).color"));
                return seen == c.color;
            },
            5000))
            << "computed colour " << seen;
    }
    // The sheet replaces the previous one rather than piling up.
    EXPECT_EQ(Editor()
                  .Js(QStringLiteral("document.querySelectorAll('link[rel=stylesheet]').length"))
                  .toInt(),
              1);
}

TEST_F(EditorBridge, LocalFilesLoadAndNetworkRequestsAreBlocked) {
    // The project folder's name needs encoding in a URL.
    qm::test::TTempDir dir;
    const std::string project = dir / "Project #1 \xC3\xA9";
    std::filesystem::create_directories(project + "/assets/images");
    std::filesystem::copy_file(std::string(QUILLMATE_SOURCE_DIR) +
                                   "/examples/sample/Sample/assets/images/board.png",
                               project + "/assets/images/board.png");
    Bridge().SetBaseHref(FilePathToFileUrl(project + "/"));

    TConnectionCounter server;
    ASSERT_TRUE(server.Listening);
    const QString http = QStringLiteral("http://") + server.Origin();
    ASSERT_TRUE(Editor().SetBody("<p><img id=\"local\" src=\"assets/images/board.png\">"
                                 "<img id=\"net\" src=\"" +
                                 http.toStdString() +
                                 "/remote.png\"></p>"
                                 "<iframe id=\"frame\" src=\"" +
                                 http.toStdString() + "/frame.html\"></iframe>"));
    ASSERT_TRUE(WaitUntil([&] {
        return Editor()
            .Js(QStringLiteral("document.getElementById('local').complete && "
                               "document.getElementById('net').complete"))
            .toBool();
    }));
    EXPECT_EQ(Editor().Js(QStringLiteral("document.getElementById('local').naturalWidth")).toInt(),
              480);
    EXPECT_EQ(Editor().Js(QStringLiteral("document.getElementById('net').naturalWidth")).toInt(),
              0);

    // Requests the page's script could make; each reports how it ended.
    struct Case {
        const char* name;
        QString start;
    };
    const Case cases[] = {
        {"fetch", QStringLiteral("fetch('%1/data.json').then(function () { done('loaded'); },"
                                 " function () { done('failed'); });")
                      .arg(http)},
        {"web socket", QStringLiteral("var ws = new WebSocket('ws://%1/socket');"
                                      "ws.onopen = function () { done('loaded'); };"
                                      "ws.onerror = function () { done('failed'); };")
                           .arg(server.Origin())},
        {"style sheet", QStringLiteral("var l = document.createElement('link');"
                                       "l.rel = 'stylesheet'; l.href = '%1/remote.css';"
                                       "l.onload = function () { done('loaded'); };"
                                       "l.onerror = function () { done('failed'); };"
                                       "document.head.appendChild(l);")
                            .arg(http)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editor().Js(QStringLiteral("window.qmProbe = 'pending'; (function () {"
                                   "  function done(how) { window.qmProbe = how; }"
                                   "  %1"
                                   "})()")
                        .arg(c.start));
        std::string how;
        EXPECT_TRUE(WaitUntil([&] {
            how = Editor().Text(QStringLiteral("window.qmProbe"));
            return how != "pending";
        }));
        EXPECT_EQ(how, "failed");
    }
    Editor().Js(QStringLiteral("document.querySelector('link[href$=\"remote.css\"]').remove()"));

    // The frame never left its blank start (a page from elsewhere could not be read).
    EXPECT_EQ(
        Editor().Text(QStringLiteral("(function () {"
                                     "  var d = document.getElementById('frame').contentDocument;"
                                     "  return d ? d.URL : 'navigated';"
                                     "})()")),
        "about:blank");
    qm::test::Pump(300);
    EXPECT_EQ(server.Count, 0) << "a request reached the network";
}

TEST_F(EditorBridge, LinksInTheTextDoNotNavigate) {
    qm::test::TTempDir dir;
    // A page the links could really go to.
    qm::test::WriteFile(dir / "other.html", "<p>Somewhere else</p>");
    Bridge().SetBaseHref(FilePathToFileUrl(dir.Path() + "/"));
    ASSERT_TRUE(Editor().SetBody(
        "<p><a id=\"local\" href=\"other.html\">local page</a></p>"
        "<p><a id=\"web\" href=\"https://example.invalid/\">web page</a></p>"
        "<p><a id=\"topic\" href=\"doc:0123456789ABCDEF0123456789ABCDEF\">topic</a></p>"
        "<p><a id=\"blank\" href=\"other.html\" target=\"_blank\">new window</a></p>"));
    const QUrl editorUrl = Editor().View().url();
    // A mark on this document: a new document would not carry it.
    Editor().Js(QStringLiteral(
        "window.qmMark = 'same document'; window.qmClicked = '';"
        "['click', 'auxclick'].forEach(function (type) {"
        "  document.addEventListener(type, function (e) {"
        "    var a = e.target.closest && e.target.closest('a'); if (a) window.qmClicked = a.id;"
        "  }, true);"
        "});"));

    struct Case {
        const char* name;
        const char* link;
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
    };
    const Case clicks[] = {
        {"local page", "local", Qt::LeftButton, Qt::NoModifier},
        {"web page", "web", Qt::LeftButton, Qt::NoModifier},
        {"topic link", "topic", Qt::LeftButton, Qt::NoModifier},
        {"link to a new window", "blank", Qt::LeftButton, Qt::NoModifier},
        {"control-click", "local", Qt::LeftButton, Qt::ControlModifier},
        {"middle click", "local", Qt::MiddleButton, Qt::NoModifier},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.name);
        Editor().Js(QStringLiteral("window.qmClicked = ''"));
        const QPoint at = Editor().CentreOf(QStringLiteral("#") + QString::fromUtf8(c.link));
        QTest::mouseClick(Editor().Surface(), c.button, c.modifiers, at);
        // The click did reach the link...
        EXPECT_TRUE(WaitUntil(
            [&] { return Editor().Text(QStringLiteral("window.qmClicked")) == c.link; }, 5000));
        qm::test::Pump(300);
        // ...and the editor is still the same page.
        EXPECT_EQ(Editor().View().url(), editorUrl);
        EXPECT_EQ(Editor().Text(QStringLiteral("window.qmMark")), "same document");
    }

    // Past the page's own guard, the view still refuses to leave the editor
    // or to load it afresh (which would lose the page's state).
    for (const char* script :
         {"location.assign('other.html')", "location.reload()",
          "document.body.appendChild(Object.assign("
          "document.createElement('form'), {action: 'other.html'})).submit()"}) {
        SCOPED_TRACE(script);
        Editor().Js(QString::fromUtf8(script));
        qm::test::Pump(400);
        EXPECT_EQ(Editor().View().url(), editorUrl);
        EXPECT_EQ(Editor().Text(QStringLiteral("window.qmMark")), "same document");
    }
    Editor().Js(QStringLiteral("document.querySelectorAll('body > form').forEach(function (f) {"
                               " f.remove(); })"));

    // Nor does the browser's own reload, from whatever menu or key.
    Editor().View().page()->triggerAction(QWebEnginePage::Reload);
    qm::test::Pump(400);
    EXPECT_EQ(Editor().Text(QStringLiteral("window.qmMark")), "same document");
}

TEST_F(EditorBridge, ContextMenuOffersEditingButNoReloadOrLinkOpening) {
    ASSERT_TRUE(Editor().SetBody("<p>Plain words here</p><p><a id=\"link\" "
                                 "href=\"other.html\">a link</a></p>"));
    QWebEnginePage* page = Editor().View().page();
    struct Case {
        const char* name;
        const char* target;
    };
    const Case cases[] = {{"on text", "qz-body p"}, {"on a link", "#link"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = Editor().CentreOf(QString::fromUtf8(c.target));
        QTest::mouseClick(Editor().Surface(), Qt::RightButton, Qt::NoModifier, at);
        QMenu* menu = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                return menu != nullptr;
            },
            5000));
        const auto actions = menu->actions();
        for (const auto action :
             {QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::Reload,
              QWebEnginePage::ViewSource, QWebEnginePage::SavePage,
              QWebEnginePage::OpenLinkInNewTab, QWebEnginePage::OpenLinkInNewWindow,
              QWebEnginePage::DownloadLinkToDisk}) {
            EXPECT_FALSE(actions.contains(page->action(action)))
                << "offers " << page->action(action)->text().toStdString();
        }
        EXPECT_TRUE(actions.contains(page->action(QWebEnginePage::Paste)));
        EXPECT_TRUE(actions.contains(page->action(QWebEnginePage::Copy)));
        menu->close();
        qm::test::Pump(50);
    }
}

// Tests that need a page of their own.

TEST(EditorBridgeLifecycle, MessagesPostedBeforeTheChannelIsUpArriveInOrder) {
    // A page that posts while it is still being parsed, long before the
    // channel can have finished its handshake.
    qm::test::TTempDir dir;
    const std::string page = dir / "Early #1/early.html";
    qm::test::WriteFile(page, "<!DOCTYPE html><meta charset=\"utf-8\"><script>\n"
                              "chrome.webview.postMessage({type: 'areaChanged', area: 'first'});\n"
                              "chrome.webview.postMessage('a plain string is no message');\n"
                              "chrome.webview.postMessage({type: 'AREACHANGED', area: "
                              "'second \xC3\xA9'});\n"
                              "chrome.webview.postMessage({type: 'unknown', area: 'x'});\n"
                              "chrome.webview.postMessage({area: 'no type'});\n"
                              "chrome.webview.postMessage({type: 'areaChanged', area: 'third'});\n"
                              "</script>");
    TEditorUnderTest editor;
    editor.Bridge().NavigateToEditor(page);
    ASSERT_TRUE(WaitUntil([&] { return editor.Areas.size() >= 3; }));
    qm::test::Pump(100);
    EXPECT_EQ(editor.Areas, (std::vector<std::string>{"first", "second \xC3\xA9", "third"}));
}

TEST(EditorBridgeLifecycle, ChannelComesUpWhenTheDocumentCreationScriptDidNotRun) {
    // Qt WebEngine now and then skips the script in a new document; taking it
    // out of the page's collection stands in for that.
    TEditorUnderTest editor;
    QWebEngineScriptCollection& scripts = editor.View().page()->scripts();
    bool removed = false;
    for (const QWebEngineScript& s : scripts.toList()) {
        if (s.sourceCode() == TEditorBridge::HostShimScript())
            removed = scripts.remove(s) || removed;
    }
    ASSERT_TRUE(removed);

    ASSERT_TRUE(editor.Load(EditorPagePath()));
    EXPECT_EQ(editor.Ready, 1);
    ASSERT_TRUE(editor.SetBody("<p>Late channel</p>"));
    editor.Bridge().RequestHtml();
    ASSERT_TRUE(WaitUntil([&] { return !editor.Html.empty(); }, 5000));
    EXPECT_EQ(editor.Html.back().Html, "<p>Late channel</p>");
}

TEST(EditorBridgeLifecycle, PageComesBackAfterItsRendererDies) {
    TEditorUnderTest editor;
    ASSERT_TRUE(editor.Load(EditorPagePath()));
    const qint64 pid = editor.View().page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);

    // A second "ready": the program pushes its state again, and the channel
    // carries messages as before.
    ASSERT_TRUE(WaitUntil([&] { return editor.Ready == 2; }));
    ASSERT_TRUE(editor.SetBody("<p>Back again</p>"));
    editor.Bridge().RequestHtml();
    ASSERT_TRUE(WaitUntil([&] { return !editor.Html.empty(); }, 5000));
    EXPECT_EQ(editor.Html.back().Html, "<p>Back again</p>");
}

} // namespace
