// Spell checking in the real page with the dictionaries the build converts.
#include "Spelling.h"
#include "AppPaths.h"
#include "AppTestSupport.h"
#include "MainWindow.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "i18n/Translation.h"

#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <QWebEngineContextMenuRequest>
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

    // The word the checker marks under word ("" when none), with the menu
    // that right-click brought up (closed again unless keepOpen).
    QString MarkedAt(const QString& word, QMenu** keepOpen = nullptr) {
        QWidget* surface = w->Edge()->focusProxy();
        QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, WordAt(word));
        QMenu* menu = nullptr;
        if (!WaitUntil(
                [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); },
                3000))
            return QStringLiteral("<no menu>");
        const QString marked = w->Edge()->lastContextMenuRequest()->misspelledWord();
        if (keepOpen != nullptr) {
            *keepOpen = menu;
        } else {
            menu->close();
            qm::test::Pump(50);
        }
        return marked;
    }

    // Loads html and waits until the checker has been over it: the known
    // misspelling "sentense" in it is marked.
    void ShowChecked(const std::string& html) {
        w->Bridge()->SetHtml(html);
        qm::test::RunJs(w->Edge()->page(),
                        QStringLiteral("document.querySelector('qz-body').focus()"));
        EXPECT_TRUE(
            WaitUntil([&] { return MarkedAt(QStringLiteral("sentense")) == "sentense"; }, 20000));
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

TEST_F(Spelling, TokensAreNeverMarkedAndTheirTextLeavesThePageUnchanged) {
    ASSERT_FALSE(TSpelling::Languages().isEmpty()) << "no dictionaries were built";
    const std::string html =
        "<p>A sentense with {var:Prodcty}, { SNIP : Notz }, {begincond:Vrsion}on{endcond} "
        "and {endcond:Vrsion}; vrsion alone is marked.</p>";
    ShowChecked(html);
    for (const char* inToken : {"Prodcty", "Notz", "Vrsion", "begincond", "endcond"})
        EXPECT_EQ(MarkedAt(QString::fromLatin1(inToken)), QString()) << inToken;
    EXPECT_EQ(MarkedAt(QStringLiteral("vrsion")), QStringLiteral("vrsion"));
    EXPECT_EQ(w->GetCurrentTopicHtml(), html) << "the page's marks never reach the topic";
    EXPECT_FALSE(w->ProjectDirty());

    // Deleting a token's brace makes it no token: its text is checked again.
    qm::test::RunJs(
        w->Edge()->page(),
        QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                       "var w=document.createTreeWalker(b,NodeFilter.SHOW_TEXT),n;"
                       "while((n=w.nextNode())&&n.data.indexOf('{var:Prodcty}')<0);"
                       "var r=document.createRange();var k=n.data.indexOf('{var:');"
                       "r.setStart(n,k);r.collapse(true);"
                       "getSelection().removeAllRanges();getSelection().addRange(r);})()"));
    QTest::keyClick(w->Edge()->focusProxy(), Qt::Key_Delete);
    EXPECT_TRUE(
        WaitUntil([&] { return MarkedAt(QStringLiteral("Prodcty")) == "var:Prodcty"; }, 10000));
    EXPECT_EQ(w->GetCurrentTopicHtml(),
              "<p>A sentense with var:Prodcty}, { SNIP : Notz }, {begincond:Vrsion}on{endcond} "
              "and {endcond:Vrsion}; vrsion alone is marked.</p>");
}

TEST_F(Spelling, AddedWordStaysUnmarkedAfterARestart) {
    ASSERT_FALSE(TSpelling::Languages().isEmpty()) << "no dictionaries were built";
    const std::string html = "<p>A sentense about Quillwordz and quillwordz.</p>";
    ShowChecked(html);
    QMenu* menu = nullptr;
    ASSERT_EQ(MarkedAt(QStringLiteral("Quillwordz"), &menu), QStringLiteral("Quillwordz"));
    QAction* add = menu->findChild<QAction*>(QStringLiteral("AddToDictionary1"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->text(), QStringLiteral("Add to Dictionary"));
    add->trigger();
    menu->close();

    EXPECT_TRUE(WaitUntil([&] { return MarkedAt(QStringLiteral("Quillwordz")).isEmpty(); }, 10000));
    EXPECT_EQ(MarkedAt(QStringLiteral("quillwordz")), QStringLiteral("quillwordz"))
        << "the word as added, not every spelling of it";
    EXPECT_EQ(w->GetCurrentTopicHtml(), html);
    EXPECT_FALSE(w->ProjectDirty());
    EXPECT_EQ(qm::test::ReadFile(appData / "quillmate/Dictionary.txt"), "Quillwordz\n");

    // A second start: a new window and page that know only what is on disk.
    w.reset();
    w = std::make_unique<TfrmMain>(QStringList{}, std::make_unique<TScriptedPrompts>());
    w->show();
    ASSERT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
    ShowChecked(html);
    EXPECT_EQ(MarkedAt(QStringLiteral("Quillwordz")), QString());
}

TEST_F(Spelling, MenuAndLanguageFollowTheProgramsLanguageAtRunTime) {
    ASSERT_TRUE(TSpelling::Languages().contains(QStringLiteral("de-DE")));
    // The language menu lists the table's languages: a window made after loading it.
    LoadTranslation(JoinPath(ProgramDataDir(), "transl.qz"), "en");
    ASSERT_GT(TranslationState().Table.LanguageCount(), 1);
    w.reset();
    w = std::make_unique<TfrmMain>(QStringList{}, std::make_unique<TScriptedPrompts>());
    QMenu* language = nullptr;
    for (QMenu* m : w->findChildren<QMenu*>())
        if (m->menuAction()->text() == QStringLiteral("Language"))
            language = m;
    ASSERT_NE(language, nullptr);
    const auto choose = [&](const QString& name) {
        for (QAction* a : language->actions())
            if (a->text() == name)
                a->trigger();
    };
    QMenu* spelling = w->findChild<QMenu*>(QStringLiteral("mmSpelling"));
    QAction* check = w->findChild<QAction*>(QStringLiteral("CheckSpelling1"));
    ASSERT_NE(spelling, nullptr);
    ASSERT_NE(check, nullptr);
    QWebEngineProfile* profile = w->Edge()->page()->profile();

    choose(QStringLiteral("Deutsch"));
    EXPECT_EQ(spelling->menuAction()->text(), QStringLiteral("Rechtschreibung"));
    EXPECT_EQ(check->text(), QString::fromUtf8("Rechtschreibung pr\xC3\xBC"
                                               "fen"));
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"de-DE"});

    // The author's own choice outlives a change of the program's language.
    for (QAction* a : spelling->actions())
        if (a->text() == QStringLiteral("Espa\u00F1ol"))
            a->trigger();
    choose(QStringLiteral("English"));
    EXPECT_EQ(spelling->menuAction()->text(), QStringLiteral("Spelling"));
    EXPECT_EQ(check->text(), QStringLiteral("Check Spelling"));
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"es-ES"});
    w->findChild<QAction*>(QStringLiteral("SpellingProgramLanguage1"))->trigger();
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"en-US"});
}

TEST_F(Spelling, TheProjectsLanguageComesBeforeTheAuthorsChoice) {
    ASSERT_TRUE(TSpelling::Languages().contains(QStringLiteral("fr-FR")));
    QWebEngineProfile* profile = w->Edge()->page()->profile();
    TSpelling* spelling = w->findChild<TSpelling*>();
    ASSERT_NE(spelling, nullptr);
    spelling->SetLanguage(QStringLiteral("es-ES"));
    spelling->SetProjectLanguage("fr-FR");
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"fr-FR"});
    QAction* follow = w->findChild<QAction*>(QStringLiteral("SpellingProgramLanguage1"));
    EXPECT_FALSE(follow->isEnabled()) << "the menu shows the project's language, not a choice";
    // A language this machine has no dictionary for falls back to the author's.
    spelling->SetProjectLanguage("nl-NL");
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"es-ES"});
    EXPECT_TRUE(follow->isEnabled());
    spelling->SetProjectLanguage("");
    spelling->SetLanguage({});
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"en-US"});
}
