// Find and replace in the open topic, against the real page: what matches
// under each option, replacing one and all, undo, and no trace of the
// highlights in the topic's HTML.
#include "AppTestSupport.h"
#include "FindBar.h"
#include "MainWindow.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"

#include "TempDir.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::app;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

struct FindReplace : ::testing::Test {
    qm::test::TTempDir appData;
    std::unique_ptr<TfrmMain> w;
    int count = -1, current = -1, replaced = -1, results = 0;

    FindReplace() {
        qputenv("APPDATA", appData.Path().c_str());
        w = std::make_unique<TfrmMain>(QStringList{}, std::make_unique<TScriptedPrompts>());
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        QObject::connect(w->Bridge(), &TEditorBridge::OnFindResult, [this](int c, int cur, int r) {
            count = c;
            current = cur;
            replaced = r;
            ++results;
        });
    }

    // The page's text as the topic holds it: without the wrappers that keep
    // the spelling checker off tokens, which live only in the page.
    QString Body() {
        return qm::test::RunJs(
                   w->Edge()->page(),
                   QStringLiteral("(function(){var c=document.querySelector('qz-body')"
                                  ".cloneNode(true);c.querySelectorAll('qz-nospell').forEach("
                                  "function(e){e.replaceWith.apply(e,Array.from(e.childNodes));});"
                                  "return c.innerHTML;})()"))
            .toString();
    }
    void SetBody(const char* html) {
        w->Bridge()->SetHtml(html);
        ASSERT_TRUE(WaitUntil([&] { return Body() == QString::fromUtf8(html); }, 5000));
    }
    // Sets the bar's fields (which sends "find") and waits for the answer.
    void Search(const char* text, bool matchCase, bool wholeWord, const char* replacement = "") {
        TFindBar* bar = w->FindBar();
        bar->MatchCase()->setChecked(matchCase);
        bar->WholeWord()->setChecked(wholeWord);
        bar->ReplaceField()->setText(QString::fromUtf8(replacement));
        bar->FindField()->setText(QString());
        const int before = results;
        bar->FindField()->setText(QString::fromUtf8(text));
        ASSERT_TRUE(WaitUntil([&] { return results > before; }, 5000)) << text;
        Settle();
    }
    void Act(const std::function<void()>& command) {
        const int before = results;
        command();
        ASSERT_TRUE(WaitUntil([&] { return results > before; }, 5000));
        Settle();
    }
    // The bar sends a search for each field it sets; the answers to the
    // earlier ones may still be on their way: wait until none has come for a while.
    void Settle() {
        for (int i = 0, seen = -1; i < 30 && seen != results; ++i) {
            seen = results;
            qm::test::Pump(150);
        }
    }
};

} // namespace

TEST_F(FindReplace, CountsMatchesUnderEachOption) {
    w->FindCommand(false);
    struct Case {
        const char* html;
        const char* text;
        bool matchCase, wholeWord;
        int expected;
    };
    const Case cases[] = {
        {"<p>Cat cat CAT concat</p>", "cat", false, false, 4},
        {"<p>Cat cat CAT concat</p>", "cat", true, false, 2},
        {"<p>Cat cat CAT concat</p>", "cat", false, true, 3},
        {"<p>Cat cat CAT concat</p>", "cat", true, true, 1},
        {"<p>a bo<b>ld</b> word</p>", "bold", false, false, 1},           // across formatting
        {"<p>the end</p><p>start here</p>", "endstart", false, false, 0}, // never across paragraphs
        {"<p>line<br>next</p>", "linenext", false, false, 0},
        {"<p>a.b axb (x) a+b</p>", "a.b", false, false, 1}, // the text, not a pattern
        {"<p>a.b axb (x) a+b</p>", "(x)", false, false, 1},
        {"<p>\xC3\x89t\xC3\xA9 \xC3\xA9t\xC3\xA9</p>", "\xC3\xA9t\xC3\xA9", false, true, 2},
        {"<p>\xC3\x89t\xC3\xA9 \xC3\xA9t\xC3\xA9</p>", "\xC3\xA9t\xC3\xA9", true, false, 1},
        {"<p>Use {var:Product} and {var:ProductName}.</p>", "{var:Product}", false, true, 1},
        {"<ul><li>one</li><li>two one</li></ul><table><tbody><tr><td>one</td></tr></tbody></table>",
         "one", false, true, 3},
        {"<p>nothing</p>", "absent", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.html) + " / " + c.text);
        SetBody(c.html);
        Search(c.text, c.matchCase, c.wholeWord);
        EXPECT_EQ(count, c.expected);
        EXPECT_EQ(current, c.expected > 0 ? 1 : 0);
        // The highlights are never part of the topic.
        EXPECT_EQ(Body(), QString::fromUtf8(c.html));
        EXPECT_EQ(w->GetCurrentTopicHtml(), c.html);
    }
    // Next and previous go round.
    SetBody("<p>x x x</p>");
    Search("x", false, false);
    EXPECT_EQ(current, 1);
    Act([&] { w->FindBar()->FindNext(); });
    EXPECT_EQ(current, 2);
    Act([&] { w->FindBar()->FindPrevious(); });
    Act([&] { w->FindBar()->FindPrevious(); });
    EXPECT_EQ(current, 3);
    EXPECT_EQ(w->FindBar()->ResultText().toStdString(), "3 of 3");
}

TEST_F(FindReplace, ReplacesOneOrAllAsOneUndoableStep) {
    w->FindCommand(true);
    struct Case {
        const char* html;
        const char* text;
        bool matchCase, wholeWord;
        const char* replacement;
        bool all;
        const char* expected;
        int replaced;
    };
    const Case cases[] = {
        {"<p>Cat cat concat</p>", "cat", false, true, "dog", true, "<p>dog dog concat</p>", 2},
        {"<p>Cat cat concat</p>", "cat", true, false, "dog", true, "<p>Cat dog condog</p>", 2},
        {"<p>Cat cat concat</p>", "cat", false, false, "dog", false, "<p>dog cat concat</p>", 1},
        {"<p>one</p><p>one two one</p>", "one", false, false, "1", true, "<p>1</p><p>1 two 1</p>",
         3},
        {"<p>remove this word</p>", " this", false, false, "", true, "<p>remove word</p>", 1},
        {"<p>a&lt;b</p>", "<", false, false, "&", true, "<p>a&amp;b</p>", 1},
        {"<p>none here</p>", "absent", false, false, "x", true, "<p>none here</p>", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.html) + " / " + c.text + (c.all ? " all" : " one"));
        SetBody(c.html);
        Search(c.text, c.matchCase, c.wholeWord, c.replacement);
        Act([&] {
            if (c.all)
                w->FindBar()->ReplaceAll();
            else
                w->FindBar()->ReplaceOne();
        });
        EXPECT_EQ(replaced, c.replaced);
        EXPECT_EQ(Body().toStdString(), c.expected);
        ASSERT_TRUE(WaitUntil([&] { return w->GetCurrentTopicHtml() == c.expected; }, 3000));
        if (c.replaced > 0) {
            EXPECT_TRUE(w->ProjectDirty()) << "a replacement is the author's edit";
            w->Bridge()->ExecCommand("undo");
            EXPECT_TRUE(WaitUntil([&] { return Body() == QString::fromUtf8(c.html); }, 3000))
                << "one undo takes back the whole replacement: " << Body().toStdString();
        }
    }
}

TEST_F(FindReplace, ReplaceOneMovesToTheNextMatch) {
    w->FindCommand(true);
    SetBody("<p>a1 a2 a3</p>");
    Search("a", true, false, "b");
    Act([&] { w->FindBar()->ReplaceOne(); });
    Act([&] { w->FindBar()->ReplaceOne(); });
    EXPECT_EQ(Body().toStdString(), "<p>b1 b2 a3</p>");
    EXPECT_EQ(count, 1);
    // Closing the bar takes the highlights away; the text stays.
    w->FindBar()->Close();
    qm::test::Pump(100);
    EXPECT_EQ(
        qm::test::RunJs(w->Edge()->page(),
                        QStringLiteral("document.querySelectorAll('#qz-find-layer > *').length"))
            .toInt(),
        0);
}
