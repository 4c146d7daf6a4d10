// Find in project and the word counts with the real window and page.
#include "AppTestSupport.h"
#include "ContentsTree.h"
#include "FindBar.h"
#include "MainWindow.h"
#include "ProjectSearchPanel.h"
#include "SearchHitDelegate.h"
#include "bridge/EditorWebPage.h"
#include "model/DocModel.h"

#include "TempDir.h"

#include <QImage>
#include <QLineEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

struct FindInProject : ::testing::Test {
    qm::test::TTempDir appData;
    std::unique_ptr<TfrmMain> w;

    FindInProject() {
        qputenv("APPDATA", appData.Path().c_str());
        std::filesystem::copy(QUILLMATE_SOURCE_DIR "/examples/sample", appData / "sample",
                              std::filesystem::copy_options::recursive);
        w = std::make_unique<TfrmMain>(
            QStringList{QString::fromStdString(appData / "sample/Sample.hff")},
            std::make_unique<TScriptedPrompts>());
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
    }
    ~FindInProject() override { qm::test::ForgetModalDrivers(); }

    void Type(const char* text) {
        qm::test::RunJs(w->Edge()->page(),
                        QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                                       "b.focus();var r=document.createRange();"
                                       "r.selectNodeContents(b);r.collapse(false);"
                                       "var s=getSelection();s.removeAllRanges();s.addRange(r);"
                                       "document.execCommand('insertText',false,'%1');})()")
                            .arg(QString::fromUtf8(text)));
        ASSERT_TRUE(WaitUntil([&] { return w->ProjectDirty(); }, 5000));
    }
    QStringList Hits() {
        QStringList ids;
        QTreeWidget* list = w->ProjectSearch()->Results();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            ids << list->topLevelItem(i)->data(0, Qt::UserRole).toString();
        return ids;
    }
};

} // namespace

TEST_F(FindInProject, FindsAWordInAnUnsavedTextAndOpensTheTopicAtIt) {
    const std::string first = w->CurrentTopicID();
    Type(" Quokkaland");
    // Go elsewhere: the text is now only in the session's cache.
    const std::string other = w->Project().RootTopicIDs.back();
    ASSERT_NE(other, first);
    w->Tree()->SelectTopic(other);
    ASSERT_TRUE(WaitUntil([&] { return w->CurrentTopicID() == other; }));
    ASSERT_EQ(ReadFile(w->Project().TopicHtmlPath(first)).find("Quokkaland"), std::string::npos);

    w->FindInProjectCommand();
    w->ProjectSearch()->Field()->setText(QStringLiteral("quokkaLAND"));
    w->ProjectSearch()->Run();
    ASSERT_EQ(Hits(), QStringList{QString::fromStdString(first)});
    QTreeWidgetItem* hit = w->ProjectSearch()->Results()->topLevelItem(0);
    EXPECT_TRUE(hit->text(0).endsWith(QString::fromStdString(w->Project().GetTopic(first).Title)));
    EXPECT_TRUE(hit->text(1).contains(QStringLiteral("Quokkaland")));

    // Titles count as well.
    w->ProjectSearch()->Field()->setText(
        QString::fromStdString(w->Project().GetTopic(other).Title).toUpper());
    w->ProjectSearch()->Run();
    EXPECT_TRUE(Hits().contains(QString::fromStdString(other)));

    // Opening a hit shows the topic with the match selected in the page.
    w->ProjectSearch()->Field()->setText(QStringLiteral("quokkaland"));
    w->ProjectSearch()->Run();
    emit w->ProjectSearch()->Results()->itemActivated(
        w->ProjectSearch()->Results()->topLevelItem(0), 0);
    ASSERT_TRUE(WaitUntil([&] { return w->CurrentTopicID() == first; }));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return qm::test::RunJs(w->Edge()->page(), QStringLiteral("String(getSelection())"))
                       .toString() == QStringLiteral("Quokkaland");
        },
        5000));
    EXPECT_EQ(w->FindBar()->ResultText().toStdString(), "1 of 1");
}

TEST_F(FindInProject, TheStatusLineCountsTheTopicsAndTheProjectsWords) {
    ASSERT_TRUE(
        WaitUntil([&] { return w->WordCountText().contains(QStringLiteral("project")); }, 10000));
    const QString before = w->WordCountText();
    Type(" alpha beta gamma");
    ASSERT_TRUE(WaitUntil([&] { return w->WordCountText() != before; }, 5000));
    // Both numbers grow by three once the project's count has run again.
    auto numbers = [&] {
        QStringList n;
        for (const QString& part : w->WordCountText().split(QStringLiteral("\u00B7")))
            n << part.trimmed().section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(','));
        return n;
    };
    const QStringList old = [&] {
        QStringList n;
        for (const QString& part : before.split(QStringLiteral("\u00B7")))
            n << part.trimmed().section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(','));
        return n;
    }();
    ASSERT_EQ(old.size(), 2);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const QStringList now = numbers();
            return now.size() == 2 && now[0].toInt() == old[0].toInt() + 3 &&
                   now[1].toInt() == old[1].toInt() + 3;
        },
        10000))
        << w->WordCountText().toStdString() << " was " << before.toStdString();
}

TEST_F(FindInProject, TheMatchIsMarkedInEachHitsSnippet) {
    Type(" \xC3\x9C"
         "ber die Quokkal\xC3\xA4nder und mehr");
    w->FindInProjectCommand();
    w->ProjectSearch()->Field()->setText(QString::fromUtf8("QUOKKAL\xC3\x84NDER"));
    w->ProjectSearch()->Run();
    QTreeWidget* list = w->ProjectSearch()->Results();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem* hit = list->topLevelItem(0);
    const int start = hit->data(1, TSearchHitDelegate::kMatchStartRole).toInt();
    const int length = hit->data(1, TSearchHitDelegate::kMatchLengthRole).toInt();
    EXPECT_EQ(hit->text(1).mid(start, length), QString::fromUtf8("Quokkal\xC3\xA4nder"))
        << "characters, not bytes, past the umlauts before it";

    // The row is drawn with the match on the marking colour (unless selected).
    list->clearSelection();
    list->setCurrentItem(nullptr);
    const QImage row = list->viewport()->grab(list->visualItemRect(hit)).toImage();
    bool marked = false;
    for (int y = 0; y < row.height() && !marked; ++y)
        for (int x = 0; x < row.width() && !marked; ++x)
            marked = row.pixelColor(x, y) == QColor(255, 226, 122);
    EXPECT_TRUE(marked);
}
