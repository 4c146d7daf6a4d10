// Recovery of unsaved work with the real window and page: a program killed
// with SIGKILL after an edit, and the next start offering the edit back.
#include "AppTestSupport.h"
#include "MainWindow.h"
#include "base/PathUtils.h"
#include "bridge/EditorWebPage.h"
#include "model/DocModel.h"
#include "workspace/UnsavedWorkRecovery.h"

#include "TempDir.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <csignal>
#include <sys/types.h>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;

namespace {

const char* kChildVariable = "QUILLMATE_TEST_EDIT_AND_WAIT";

void TypeAtEnd(TfrmMain& w, const QString& text) {
    qm::test::RunJs(w.Edge()->page(),
                    QStringLiteral("(function(){var b=document.querySelector('qz-body');"
                                   "b.focus();var r=document.createRange();"
                                   "r.selectNodeContents(b);r.collapse(false);"
                                   "var s=getSelection();s.removeAllRanges();s.addRange(r);"
                                   "document.execCommand('insertText',false,%1);})()")
                        .arg(QStringLiteral("'") + text + QStringLiteral("'")));
}

struct Recovery : ::testing::Test {
    qm::test::TTempDir appData;
    std::string file;

    Recovery() {
        qputenv("APPDATA", appData.Path().c_str());
        std::filesystem::copy(QUILLMATE_SOURCE_DIR "/examples/sample", appData / "sample",
                              std::filesystem::copy_options::recursive);
        file = appData / "sample/Sample.hff";
    }
    ~Recovery() override { qm::test::ForgetModalDrivers(); }

    // This test program, run again as the editing program: it opens the
    // project, types, and once the journal is written prints the topic's
    // text and waits to be killed. Returns that text.
    std::string EditInAnotherProcessAndKillIt() {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildVariable), QString::fromStdString(file));
        env.insert(QStringLiteral("APPDATA"), QString::fromStdString(appData.Path()));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {});
        EXPECT_TRUE(child.waitForStarted(10000));
        QByteArray out;
        const bool edited = WaitUntil(
            [&] {
                child.waitForReadyRead(20);
                out += child.readAllStandardOutput();
                return out.contains('\n') || child.state() == QProcess::NotRunning;
            },
            90000);
        EXPECT_TRUE(edited && out.startsWith("EDITED ")) << out.toStdString();
        ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        child.waitForFinished(10000);
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        const QByteArray line = out.mid(7, out.indexOf('\n') - 7);
        return QByteArray::fromBase64(line).toStdString();
    }

    std::unique_ptr<TfrmMain> Start(TScriptedPrompts*& prompts, bool answer) {
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        prompts->YesNo = {answer};
        auto w =
            std::make_unique<TfrmMain>(QStringList{QString::fromStdString(file)}, std::move(p));
        w->SetOpenOutputs(false);
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        return w;
    }
};

} // namespace

// The second process: see EditInAnotherProcessAndKillIt. Entered from main.
int RunEditAndWaitChild() {
    const std::string file = qgetenv(kChildVariable).toStdString();
    TfrmMain w({QString::fromStdString(file)}, std::make_unique<TScriptedPrompts>());
    w.show();
    if (!WaitUntil([&] { return w.EditorReady(); }, 60000))
        return 2;
    qm::test::Pump(300);
    TypeAtEnd(w, QStringLiteral(" Unsaved \u00e9dit <&> kept"));
    if (!WaitUntil([&] { return w.ProjectDirty(); }, 10000))
        return 3;
    const std::string journal = w.Recovery().JournalPath();
    if (!WaitUntil([&] { return FileExists(journal); }, 20000))
        return 4;
    const QByteArray html = QByteArray::fromStdString(w.GetCurrentTopicHtml()).toBase64();
    std::printf("EDITED %s\n", html.constData());
    std::fflush(stdout);
    // Killed by the test long before this.
    QTimer::singleShot(120000, [] { QCoreApplication::exit(5); });
    return QCoreApplication::exec();
}

bool IsEditAndWaitChild() {
    return qEnvironmentVariableIsSet(kChildVariable);
}

TEST_F(Recovery, AKilledProgramsEditIsOfferedAndRestoredExactly) {
    const std::string edited = EditInAnotherProcessAndKillIt();
    ASSERT_NE(edited.find("Unsaved \xC3\xA9"
                          "dit"),
              std::string::npos)
        << edited;

    TScriptedPrompts* prompts = nullptr;
    auto w = Start(prompts, true);
    const std::string id = w->CurrentTopicID();
    const std::string page = w->Project().TopicHtmlPath(id);
    EXPECT_EQ(ReadFile(page),
              ReadFile(QUILLMATE_SOURCE_DIR "/examples/sample/Sample/topics/" + id + ".html"))
        << "the killed program wrote nothing into the project";
    ASSERT_EQ(prompts->Questions.size(), 1u);
    EXPECT_NE(prompts->Questions.front().find(w->Project().GetTopic(id).Title), std::string::npos)
        << prompts->Questions.front();
    EXPECT_TRUE(w->ProjectDirty());
    ASSERT_TRUE(WaitUntil([&] { return w->GetCurrentTopicHtml() == edited; }, 5000))
        << w->GetCurrentTopicHtml();
    ASSERT_TRUE(w->SaveCommand());
    EXPECT_EQ(ReadFile(page), edited);
    EXPECT_FALSE(FileExists(w->Recovery().JournalPath()));
}

TEST_F(Recovery, DecliningTheOfferDiscardsTheEdit) {
    const std::string edited = EditInAnotherProcessAndKillIt();
    ASSERT_FALSE(edited.empty());

    TScriptedPrompts* prompts = nullptr;
    auto w = Start(prompts, false);
    EXPECT_EQ(prompts->Questions.size(), 1u);
    EXPECT_FALSE(FileExists(w->Recovery().JournalPath()));
    EXPECT_FALSE(w->ProjectDirty());
    EXPECT_EQ(w->GetCurrentTopicHtml().find("Unsaved"), std::string::npos);
    w.reset(); // and the next start asks nothing: no answer is prepared
    auto again = Start(prompts, false);
    EXPECT_TRUE(prompts->Questions.empty());
}
