// The properties panel beside the editor, driven as the author drives it.
#include "AppTestSupport.h"
#include "ContentsTree.h"
#include "MainWindow.h"
#include "TopicPropertiesPanel.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"

#include "TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

struct PropertiesFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TfrmMain> w;

    PropertiesFixture() {
        qputenv("APPDATA", appData.Path().c_str());
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        w = std::make_unique<TfrmMain>(QStringList{}, std::move(p));
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(200);
        w->findChild<QAction*>(QStringLiteral("TopicProperties1"))->trigger();
    }
    template <class T> T* Find(const char* name) {
        T* c = w->PropertiesPanel()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString Keywords() { return Find<QPlainTextEdit>("memKeywords")->toPlainText(); }
    void Apply() { Find<QPushButton>("btnApplyProps")->click(); }
};

} // namespace

TEST_F(PropertiesFixture, ApplyStoresTrimmedLinesAndTheFlags) {
    const std::string id = w->CurrentTopicID();
    ASSERT_FALSE(id.empty());
    const bool dirtyBefore = w->ProjectDirty();
    Find<QPlainTextEdit>("memKeywords")->setPlainText(QStringLiteral("  alpha \n\nbeta"));
    Find<QPlainTextEdit>("memIndex")->setPlainText(QStringLiteral("\n Entry, sub \n"));
    Find<QCheckBox>("chkExcludePdf")->setChecked(true);
    Apply();

    const TTopic& topic = w->Project().GetTopic(id);
    EXPECT_EQ(topic.Keywords, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(topic.IndexEntries, (std::vector<std::string>{"Entry, sub"}));
    EXPECT_TRUE(topic.ExcludePdf);
    EXPECT_FALSE(topic.ExcludeWeb);
    EXPECT_EQ(Keywords(), QStringLiteral("alpha\nbeta"));
    EXPECT_EQ(w->StatusText(), QStringLiteral("Properties saved"));
    EXPECT_EQ(w->ProjectDirty(), dirtyBefore) << "already on disk";
    const std::string model = ReadFile(JoinPath(w->Project().RootPath, "meta/topics.json"));
    EXPECT_NE(model.find("\"alpha\""), std::string::npos) << model;
}

TEST_F(PropertiesFixture, SwitchingTopicsDiscardsWhatWasNotApplied) {
    const std::string first = w->CurrentTopicID();
    prompts->Texts = {std::string("Second")};
    w->NewTopicCommand(true);
    const std::string second = w->Project().RootTopicIDs.back();
    ASSERT_NE(first, second);

    ASSERT_TRUE(w->Tree()->SelectTopic(first));
    Find<QPlainTextEdit>("memKeywords")->setPlainText(QStringLiteral("never applied"));
    Find<QCheckBox>("chkExcludeWeb")->setChecked(true);
    ASSERT_TRUE(w->Tree()->SelectTopic(second));
    EXPECT_EQ(Find<QLineEdit>("edTopicId")->text(), QString::fromStdString(second));
    EXPECT_TRUE(Keywords().isEmpty());
    ASSERT_TRUE(w->Tree()->SelectTopic(first));
    EXPECT_TRUE(Keywords().isEmpty());
    EXPECT_FALSE(Find<QCheckBox>("chkExcludeWeb")->isChecked());
    EXPECT_TRUE(w->Project().GetTopic(first).Keywords.empty());
    EXPECT_FALSE(w->Project().GetTopic(first).ExcludeWeb);
}

TEST_F(PropertiesFixture, ShowsTheTopicsIdAndPageFile) {
    const std::string id = w->CurrentTopicID();
    EXPECT_EQ(Find<QLineEdit>("edTopicId")->text(), QString::fromStdString(id));
    EXPECT_EQ(Find<QLineEdit>("edPageFile")->text(),
              QString::fromStdString(w->Project().TopicHtmlPath(id)));
    EXPECT_TRUE(Find<QLineEdit>("edPageFile")->isReadOnly());
}

TEST_F(PropertiesFixture, ApplyWithoutASelectedTopicChangesNothing) {
    const std::string id = w->CurrentTopicID();
    w->Tree()->setCurrentIndex(QModelIndex());
    qm::test::Pump(50);
    Find<QPlainTextEdit>("memKeywords")->setPlainText(QStringLiteral("stray"));
    Apply();
    EXPECT_TRUE(w->Project().GetTopic(id).Keywords.empty());
    EXPECT_EQ(w->StatusText(), QStringLiteral("Properties saved"));
}

TEST_F(PropertiesFixture, TheMenuItemShowsThePanel) {
    auto* dock = w->findChild<QDockWidget*>(QStringLiteral("dockProperties"));
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isVisible()) << "the fixture asked for it";
    dock->close();
    ASSERT_FALSE(dock->isVisible());
    w->findChild<QAction*>(QStringLiteral("TopicProperties1"))->trigger();
    EXPECT_TRUE(dock->isVisible());
}
