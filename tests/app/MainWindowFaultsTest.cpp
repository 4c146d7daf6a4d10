// The main window's protections of the author's work, and publishing from
// the menu, with the real editor page.
#include "AppTestSupport.h"
#include "ContentsTree.h"
#include "MainWindow.h"
#include "base/Error.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <QAction>
#include <QProgressDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <csignal>
#include <sys/types.h>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;
using qm::test::WriteFile;

namespace {

struct FaultsFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;

    FaultsFixture() { qputenv("APPDATA", appData.Path().c_str()); }

    std::unique_ptr<TfrmMain> Start(const QStringList& args = {}) {
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        auto w = std::make_unique<TfrmMain>(args, std::move(p));
        w->SetOpenOutputs(false);
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        return w;
    }

    // A saved copy of the sample project in the temporary folder.
    std::string SampleCopy() {
        std::filesystem::copy(QUILLMATE_SOURCE_DIR "/examples/sample", appData / "sample",
                              std::filesystem::copy_options::recursive);
        return appData / "sample/Sample.hff";
    }

    static void Type(TfrmMain& w, const char* text) {
        qm::test::RunJs(w.Edge()->page(),
                        QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                                       "b.focus();var r=document.createRange();"
                                       "r.selectNodeContents(b);r.collapse(false);"
                                       "var s=getSelection();s.removeAllRanges();s.addRange(r);"
                                       "document.execCommand('insertText',false,'%1');})()")
                            .arg(QString::fromUtf8(text)));
        WaitUntil([&] { return w.ProjectDirty(); }, 5000);
    }
};

} // namespace

TEST_F(FaultsFixture, PublishingFromTheMenuWritesAllThreeOutputs) {
    const std::string file = SampleCopy();
    // A last root topic whose id cannot name a file: WebHelp leaves it out
    // with a warning, which the author must get to see.
    const std::string topics = appData / "sample/Sample/meta/topics.json";
    std::string json = ReadFile(topics);
    json.replace(json.find("],\"topics\":["), 12,
                 ",\"a:b\"],\"topics\":[{\"id\":\"a:b\",\"title\":\"Odd\",\"htmlPath\":\"\","
                 "\"parentId\":\"\",\"excludeWeb\":false,\"excludeChm\":true,"
                 "\"excludePdf\":true,\"children\":[],\"keywords\":[],\"index\":[]},");
    WriteFile(topics, json);
    auto w = Start({QString::fromStdString(file)});
    ASSERT_TRUE(w->Project().HasTopic("a:b"));
    const std::string root = w->Project().RootPath;

    struct Case {
        const char* name;
        void (TfrmMain::*command)();
        const char* output;
        bool warns;
    };
    const Case cases[] = {
        {"WebHelp", &TfrmMain::PublishWebHelpCommand, "build/webhelp/index.html", true},
        {"CHM", &TfrmMain::PublishChmCommand, "build/chm/help.chm", false},
        {"PDF", &TfrmMain::PublishPdfCommand, "build/pdf/manual.pdf", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts->Infos.clear();
        (w.get()->*c.command)();
        const std::string output = root + c.output;
        ASSERT_TRUE(FileExists(output));
        EXPECT_GT(std::filesystem::file_size(output), 1000u);
        EXPECT_EQ(w->StatusText().toStdString(), std::string(c.name) + " exported: " + output);
        EXPECT_EQ(w->LastPublishedOutput(), output);
        ASSERT_EQ(prompts->Infos.size(), c.warns ? 1u : 0u);
        if (c.warns) {
            EXPECT_NE(prompts->Infos[0].find("a:b"), std::string::npos) << prompts->Infos[0];
        }
    }
    EXPECT_TRUE(FileExists(root + "build/webhelp/search.js"));
    EXPECT_TRUE(prompts->Errors.empty()) << prompts->Errors.front();
}

TEST_F(FaultsFixture, ACancelledPublishIsAStatusNotAnError) {
    auto w = Start({QString::fromStdString(SampleCopy())});
    const std::string root = w->Project().RootPath;
    // Presses Cancel as soon as the progress dialog is there.
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&w] {
        for (QProgressDialog* d : w->findChildren<QProgressDialog*>())
            emit d->canceled();
    });
    presser.start(10);
    w->PublishPdfCommand();
    presser.stop();
    EXPECT_EQ(w->StatusText().toStdString(), "Publishing cancelled");
    EXPECT_TRUE(prompts->Errors.empty()) << prompts->Errors.front();
    EXPECT_EQ(w->LastPublishedOutput(), "");
    EXPECT_FALSE(FileExists(root + "build/pdf/manual.pdf"));
}

TEST_F(FaultsFixture, ADamagedProjectNeverReplacesTheOpenOne) {
    auto w = Start({QString::fromStdString(SampleCopy())});
    const std::string title = w->Project().Title;
    const size_t topics = w->Project().Topics.Count();
    WriteFile(appData / "Broken/meta/topics.json", "{\"rootTopicIds\":[\"A\"");
    WriteFile(appData / "Broken.hff", "{\"title\":\"B\",\"root\":\"\"}");
    prompts->OpenFiles = {appData / "Broken.hff"};
    EXPECT_THROW(w->OpenProjectCommand(), EQuillmateError); // the menu shows it in a box
    EXPECT_EQ(w->Project().Title, title);
    EXPECT_EQ(w->Project().Topics.Count(), topics);
    EXPECT_EQ(ReadFile(appData / "Broken/meta/topics.json"), "{\"rootTopicIds\":[\"A\"");
}

TEST_F(FaultsFixture, SettingsOfTheLastProjectDoNotLeak) {
    auto w = Start({QString::fromStdString(SampleCopy())});
    TProjectSettings big;
    big.FontSizeBody = 30;
    big.SaveToFile(TProjectSettings::DefaultSettingsPathForProject(w->Project().RootPath));
    w->OpenProject(appData / "sample/Sample.hff");
    EXPECT_EQ(w->Settings().FontSizeBody, 30);
    WriteFile(appData / "Other/project.json", "{\"title\":\"Other\"}");
    WriteFile(appData / "Other/meta/project_settings.json", "{\"ProjTitle\":\"Other\"}");
    WriteFile(appData / "Other.hff", "{\"title\":\"Other\",\"root\":\"\"}");
    w->OpenProject(appData / "Other.hff");
    EXPECT_EQ(w->Settings().FontSizeBody, 16);
}

TEST_F(FaultsFixture, ALateAnswerAndASecondReadyLoseNothing) {
    auto w = Start();
    const std::string welcome = w->CurrentTopicID();
    Type(*w, "kept text");
    // The page's renderer dies and the page comes back with a second "ready":
    // the edit must survive.
    const qint64 pid = w->Edge()->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    ASSERT_TRUE(WaitUntil([&] { return w->Edge()->page()->renderProcessPid() != pid; }));
    qm::test::Pump(1500);
    ASSERT_TRUE(WaitUntil([&] {
        return qm::test::RunJs(w->Edge()->page(),
                               QStringLiteral("document.querySelector('qz-body').innerHTML"))
            .toString()
            .contains(QStringLiteral("kept text"));
    }));

    // An answer arriving after its wait gave up is not the current topic's text.
    prompts->Texts = {std::string("Second")};
    w->NewTopicCommand(true);
    const std::string second = w->CurrentTopicID();
    w->Bridge()->HandleWebMessage(R"({"type":"htmlResponse","html":"<p>stale</p>"})");
    EXPECT_EQ(w->GetCurrentTopicHtml().find("stale"), std::string::npos);
    EXPECT_NE(second, welcome);
}

TEST_F(FaultsFixture, NoToTheSaveQuestionKeepsEditsWhenOpenIsCancelled) {
    auto w = Start();
    Type(*w, "precious");
    prompts->YesNoCancel = {TAnswer::No};
    prompts->OpenFiles = {std::nullopt};
    w->OpenProjectCommand();
    EXPECT_TRUE(w->ProjectDirty());
    EXPECT_NE(w->GetCurrentTopicHtml().find("precious"), std::string::npos);

    // Yes whose Save As is cancelled counts as cancel: the workspace stays.
    prompts->YesNoCancel = {TAnswer::Yes};
    prompts->SaveFiles = {std::nullopt};
    w->NewProjectCommand();
    EXPECT_TRUE(w->ProjectDirty());
    EXPECT_NE(w->GetCurrentTopicHtml().find("precious"), std::string::npos);
}

TEST_F(FaultsFixture, SaveAsRefusesTheDataFolderAndTheWorkspace) {
    auto w = Start({QString::fromStdString(SampleCopy())});
    for (const std::string& target :
         {appData / "sample/Sample/inside.hff", appData / "quillmate/Workspace/x.hff"}) {
        prompts->SaveFiles = {target};
        EXPECT_FALSE(w->SaveAsCommand()) << target;
        EXPECT_FALSE(FileExists(target));
    }
    EXPECT_EQ(prompts->Errors.size(), 2u);
}

TEST_F(FaultsFixture, AWorkspaceLeftByACrashIsKeptAside) {
    {
        auto w = Start();
        Type(*w, "unsaved");
        w->CommitWorkingState();
        // Gone without a close, as in a crash: the workspace stays marked in
        // use, and (as with a process that died) its lock is released.
        w->hide();
        w.reset();
    }
    qm::test::Pump(200);
    auto again = Start();
    std::string kept;
    for (const auto& e : std::filesystem::recursive_directory_iterator(appData / "quillmate")) {
        const std::string path = e.path().string();
        if (path.find("/Workspace-") != std::string::npos && e.path().extension() == ".html" &&
            path.find("/topics/") != std::string::npos &&
            ReadFile(path).find("unsaved") != std::string::npos)
            kept = path;
    }
    EXPECT_FALSE(kept.empty()) << "the crashed session's page was not kept";
}

TEST_F(FaultsFixture, ATopicThatCannotBeLoadedIsNotKeptAsCurrent) {
    auto w = Start();
    const std::string welcome = w->CurrentTopicID();
    Type(*w, "welcome text");
    prompts->Texts = {std::string("Broken")};
    w->NewTopicCommand(true);
    const std::string broken = w->CurrentTopicID();
    w->Tree()->SelectTopic(welcome);
    ASSERT_TRUE(WaitUntil([&] { return w->CurrentTopicID() == welcome; }));
    w->CommitWorkingState(); // nothing of "Broken" stays in the caches
    // The page of "Broken" is damaged on disk (not UTF-8) while it is not shown.
    WriteFile(w->Project().TopicHtmlPath(broken), "\xFF\xFE not text");
    w->Tree()->SelectTopic(broken);
    qm::test::Pump(100);
    ASSERT_EQ(prompts->Errors.size(), 1u) << "the author is told the page cannot be read";
    // The editor still shows Welcome's text; it must never be saved as Broken's.
    EXPECT_TRUE(w->CurrentTopicID().empty());
    prompts->SaveFiles = {appData / "out/P.hff"};
    w->SaveCommand();
    EXPECT_EQ(ReadFile(appData / ("out/P/topics/" + broken + ".html")), "\xFF\xFE not text");
}

TEST_F(FaultsFixture, TopicsOnlyLookedAtAreNotRewrittenByTheRealPage) {
    const std::string file = SampleCopy();
    auto w = Start({QString::fromStdString(file)});
    // Markup the browser writes differently: line ends and an entity.
    std::vector<std::string> ids;
    for (const TTopic& t : w->Project().Topics)
        ids.push_back(t.ID);
    ASSERT_GE(ids.size(), 3u);
    WriteFile(w->Project().TopicHtmlPath(ids[1]),
              "<p title=\"&quot;q&quot;\">Line one</p>\r\n<p>Line two</p>\r\n");
    std::map<std::string, std::string> before;
    for (const auto& id : ids)
        before[id] = ReadFile(w->Project().TopicHtmlPath(id));
    for (size_t i = 0; i < 3; ++i) {
        w->Tree()->SelectTopic(ids[i]);
        ASSERT_TRUE(WaitUntil([&] { return w->CurrentTopicID() == ids[i]; }));
        qm::test::Pump(150);
    }
    w->Tree()->SelectTopic(ids[1]);
    qm::test::Pump(150);
    w->PublishWebHelpCommand();
    ASSERT_TRUE(w->SaveCommand());
    for (const auto& id : ids)
        EXPECT_EQ(ReadFile(w->Project().TopicHtmlPath(id)), before[id]) << id;
    EXPECT_TRUE(prompts->Errors.empty());
}
