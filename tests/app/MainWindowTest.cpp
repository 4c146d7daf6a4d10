// The desktop program driven as an author would: the real main window, the
// real editor page in Qt WebEngine, offscreen.
#include "MainWindow.h"
#include "AppTestSupport.h"
#include "ContentsTree.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include "TempDir.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace qm;
using namespace qm::app;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

struct MainWindowFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;

    MainWindowFixture() { qputenv("APPDATA", appData.Path().c_str()); }

    std::unique_ptr<TfrmMain> Start(const QStringList& args = {}) {
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        auto w = std::make_unique<TfrmMain>(args, std::move(p));
        w->SetOpenOutputs(false);
        w->resize(1100, 700);
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }))
            << "the editor page never got ready";
        // Let the ready sequence load the first topic into the page.
        qm::test::Pump(300);
        return w;
    }

    static std::vector<std::string> Titles(TfrmMain& w, const std::vector<std::string>& ids) {
        std::vector<std::string> r;
        for (const auto& id : ids)
            r.push_back(w.Project().GetTopic(id).Title);
        return r;
    }

    // Types text at the end of the body the way the browser reports typing.
    static void TypeIntoBody(TfrmMain& w, const QString& text) {
        qm::test::RunJs(w.Edge()->page(),
                        QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                                       "b.focus();var r=document.createRange();"
                                       "r.selectNodeContents(b);r.collapse(false);"
                                       "var s=getSelection();s.removeAllRanges();s.addRange(r);"
                                       "document.execCommand('insertText',false,%1);})()")
                            .arg(QStringLiteral("'") + text + QStringLiteral("'")));
    }

    static QString BodyHtml(TfrmMain& w) {
        return qm::test::RunJs(w.Edge()->page(),
                               QStringLiteral("document.querySelector('qz-body').innerHTML"))
            .toString();
    }
};

} // namespace

TEST_F(MainWindowFixture, AuthoringSessionSurvivesSaveAndReopen) {
    auto w = Start();
    // A first start without a last project: the untitled workspace with "Welcome".
    ASSERT_EQ(w->Tree()->model()->rowCount(), 1);
    EXPECT_EQ(w->Tree()->model()->index(0, 0).data().toString(), QStringLiteral("Welcome"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillmate - Untitled Documentation"));
    EXPECT_FALSE(w->SaveAction()->isEnabled());
    EXPECT_TRUE(FileExists(appData / "quillmate/Workspace/meta/project_settings.json"));

    prompts->Texts = {std::string("Chapter"), std::string("Section")};
    w->NewTopicCommand(true);
    const std::string chapter = w->CurrentTopicID();
    ASSERT_EQ(w->Project().GetTopic(chapter).Title, "Chapter");
    w->NewTopicCommand(false);
    const std::string section = w->CurrentTopicID();
    EXPECT_EQ(w->Project().GetTopic(section).ParentID, chapter);
    EXPECT_TRUE(w->ProjectDirty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillmate* - Untitled Documentation"));
    EXPECT_TRUE(w->SaveAction()->isEnabled());
    // A topic shown for the first time gets its page at once.
    EXPECT_TRUE(FileExists(w->Project().TopicHtmlPath(section)));

    qm::test::Pump(200);
    TypeIntoBody(*w, QStringLiteral("Typed \"words\" \u00e9t\u00e9"));
    ASSERT_TRUE(
        WaitUntil([&] { return w->GetCurrentTopicHtml().find("Typed") != std::string::npos; }));

    // Away and back: the unsaved text comes from the cache, not the file.
    w->Tree()->SelectTopic(chapter);
    ASSERT_TRUE(WaitUntil([&] { return w->CurrentTopicID() == chapter; }));
    w->Tree()->SelectTopic(section);
    ASSERT_TRUE(WaitUntil([&] { return BodyHtml(*w).contains(QStringLiteral("Typed")); }));

    const std::string file = appData / "out/Guide.hff";
    prompts->SaveFiles = {file};
    ASSERT_TRUE(w->SaveCommand());
    EXPECT_EQ(prompts->LastProposedSaveName, "Untitled.hff");
    EXPECT_EQ(w->ProjectFileName(), file);
    EXPECT_EQ(w->windowTitle().toStdString(), "Quillmate - Untitled Documentation [" + file + "]");
    EXPECT_EQ(w->StatusText(), QStringLiteral("Saved As"));
    EXPECT_EQ(qm::test::ReadFile(appData / "quillmate/last_project.txt"), file);
    EXPECT_TRUE(FileExists(appData / ("out/Guide/topics/" + section + ".html")));
    EXPECT_FALSE(DirectoryExists(appData / "out/Guide/build/webhelp"));
    w->close();
    w.reset();

    // A fresh window opens the last project and finds everything.
    auto again = Start();
    EXPECT_EQ(again->ProjectFileName(), file);
    EXPECT_EQ(Titles(*again, again->Project().RootTopicIDs),
              (std::vector<std::string>{"Welcome", "Chapter"}));
    EXPECT_EQ(Titles(*again, again->Project().GetTopic(chapter).Children),
              (std::vector<std::string>{"Section"}));
    const std::string page = qm::test::ReadFile(again->Project().TopicHtmlPath(section));
    EXPECT_NE(page.find("Typed"), std::string::npos) << page;
    EXPECT_NE(page.find("\xC3\xA9t\xC3\xA9"), std::string::npos) << page;
}

TEST_F(MainWindowFixture, MoveAndDragGiveTheContentsOrder) {
    auto w = Start();
    prompts->Texts = {std::string("A"), std::string("B"), std::string("C")};
    const std::string welcome = w->Project().RootTopicIDs.front();
    for (int i = 0; i < 3; ++i)
        w->NewTopicCommand(true);
    auto ids = w->Project().RootTopicIDs; // Welcome A B C
    auto order = [&] { return Titles(*w, w->Project().RootTopicIDs); };

    w->Tree()->SelectTopic(ids[1]);
    w->MoveDownCommand();
    EXPECT_EQ(order(), (std::vector<std::string>{"Welcome", "B", "A", "C"}));
    w->Tree()->SelectTopic(ids[3]);
    w->MoveUpCommand();
    EXPECT_EQ(order(), (std::vector<std::string>{"Welcome", "B", "C", "A"}));
    w->DropTopicCommand(ids[1], ids[2], TDropMode::dmChild); // A into B
    EXPECT_EQ(order(), (std::vector<std::string>{"Welcome", "B", "C"}));
    w->Tree()->SelectTopic(ids[1]);
    w->MoveLevelUpCommand();
    EXPECT_EQ(order(), (std::vector<std::string>{"Welcome", "B", "A", "C"}));
    w->DropTopicCommand(ids[2], ids[2], TDropMode::dmAfter); // onto itself: refused
    EXPECT_EQ(order(), (std::vector<std::string>{"Welcome", "B", "A", "C"}));

    prompts->YesNo = {true};
    w->Tree()->SelectTopic(ids[2]);
    w->RemoveTopicCommand();
    EXPECT_FALSE(w->Project().HasTopic(ids[2]));
    EXPECT_EQ(w->CurrentTopicID(), welcome); // the first node is selected again
}

TEST_F(MainWindowFixture, TheContentsKeepTheirOpenNodes) {
    auto w = Start();
    prompts->Texts = {std::string("Chapter"),     std::string("Section"), std::string("Other"),
                      std::string("Chapter One"), std::string("Last"),    std::string("More")};
    w->NewTopicCommand(true);
    const std::string chapter = w->CurrentTopicID();
    w->NewTopicCommand(false);
    const std::string section = w->CurrentTopicID();
    w->NewTopicCommand(true);
    const std::string other = w->CurrentTopicID();
    const auto expanded = [&](const std::string& id) {
        const QModelIndex index = w->Tree()->IndexOf(id);
        return index.isValid() && w->Tree()->isExpanded(index);
    };
    ASSERT_TRUE(expanded(chapter)) << "a new child is shown";
    w->MoveUpCommand();
    EXPECT_TRUE(expanded(chapter)) << "after a move";
    w->Tree()->SelectTopic(chapter);
    w->RenameCommand();
    EXPECT_EQ(w->Project().GetTopic(chapter).Title, "Chapter One");
    w->NewTopicCommand(true);
    EXPECT_TRUE(expanded(chapter)) << "after a rename and an add";
    // A drop opens the new parent to show the topic there, and it stays open.
    w->DropTopicCommand(section, other, TDropMode::dmChild);
    ASSERT_TRUE(expanded(other)) << "after a drop";
    w->NewTopicCommand(true);
    EXPECT_TRUE(expanded(other)) << "after a drop and an add";
}
