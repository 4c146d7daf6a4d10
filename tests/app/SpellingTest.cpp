// Spell checking in the real page with the dictionaries the build converts.
#include "Spelling.h"
#include "AppTestSupport.h"
#include "MainWindow.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"

#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::app;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

struct Spelling : ::testing::Test {
    qm::test::TTempDir appData;
    std::unique_ptr<TfrmMain> w;

    Spelling() {
        qputenv("APPDATA", appData.Path().c_str());
        QSettings().remove(QStringLiteral("SpellCheck"));
        QSettings().remove(QStringLiteral("SpellingLanguage"));
        w = std::make_unique<TfrmMain>(QStringList{}, std::make_unique<TScriptedPrompts>());
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
    }

    // Where the word is, in the view's coordinates.
    QPoint WordAt(const QString& word) {
        const QVariantList r =
            qm::test::RunJs(
                w->Edge()->page(),
                QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                               "var t=b.textContent, i=t.indexOf('%1');"
                               "var w=document.createTreeWalker(b,NodeFilter.SHOW_TEXT),n;"
                               "while((n=w.nextNode())){if(n.data.indexOf('%1')>=0)break;}"
                               "var g=document.createRange();var k=n.data.indexOf('%1');"
                               "g.setStart(n,k);g.setEnd(n,k+%2);"
                               "var c=g.getBoundingClientRect();"
                               "return [c.left+c.width/2,c.top+c.height/2];})()")
                    .arg(word)
                    .arg(word.size()))
                .toList();
        return r.size() == 2 ? QPoint(r[0].toInt(), r[1].toInt()) : QPoint();
    }

    // Right-clicks the word until the menu offers expected (the checker
    // marks words a moment after the text arrives); returns the menu's texts.
    QStringList MenuOn(const QString& word, const QString& expected) {
        QStringList texts;
        WaitUntil(
            [&] {
                QWidget* surface = w->Edge()->focusProxy();
                QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, WordAt(word));
                QMenu* menu = nullptr;
                if (!WaitUntil(
                        [&] {
                            return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()));
                        },
                        3000))
                    return false;
                texts.clear();
                for (QAction* a : menu->actions())
                    texts << a->text();
                menu->close();
                qm::test::Pump(50);
                return texts.contains(expected);
            },
            20000);
        return texts;
    }
};

} // namespace

TEST_F(Spelling, AMisspeltWordGetsSuggestionsAndCheckingCanBeTurnedOff) {
    ASSERT_FALSE(TSpelling::Languages().isEmpty()) << "no dictionaries were built";
    EXPECT_TRUE(w->Edge()->page()->profile()->isSpellCheckEnabled());
    EXPECT_EQ(w->Edge()->page()->profile()->spellCheckLanguages(), QStringList{"en-US"});
    w->Bridge()->SetHtml("<p>This sentense is wrong.</p>");
    qm::test::RunJs(w->Edge()->page(), QStringLiteral("document.querySelector('qz-body').focus()"));
    const QStringList menu = MenuOn(QStringLiteral("sentense"), QStringLiteral("sentence"));
    EXPECT_TRUE(menu.contains(QStringLiteral("sentence"))) << menu.join(" | ").toStdString();

    // Choosing the suggestion replaces the word.
    w->Edge()->page()->replaceMisspelledWord(QStringLiteral("sentence"));
    EXPECT_TRUE(WaitUntil(
        [&] { return w->GetCurrentTopicHtml() == "<p>This sentence is wrong.</p>"; }, 5000))
        << w->GetCurrentTopicHtml();

    QAction* check = w->findChild<QAction*>(QStringLiteral("CheckSpelling1"));
    ASSERT_NE(check, nullptr);
    check->setChecked(false);
    EXPECT_FALSE(w->Edge()->page()->profile()->isSpellCheckEnabled());
    EXPECT_FALSE(QSettings().value(QStringLiteral("SpellCheck")).toBool()) << "kept per user";
    check->setChecked(true);
}
