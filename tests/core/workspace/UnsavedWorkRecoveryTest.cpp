// The recovery journal: unsaved topic texts survive a session that ends
// without closing, are offered back when the project is opened again, and
// never reach the project's own files without Save.
#include "FakeEditor.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"

#include "base/PathUtils.h"
#include "workspace/ProjectCommands.h"
#include "workspace/RecoveryJournal.h"
#include "workspace/UnsavedWorkRecovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace qm;
using namespace qm::test;

namespace {

// One run of the program: a window's toolkit-free half. Dropping it without
// Close is what a crash leaves behind (the lock goes with the process).
struct TProgramRun {
    TFakePage page;
    TFakeHost host;
    TScriptedPrompts prompts;
    TProjectWorkspace workspace;
    TEditingSession session{workspace, page, host};
    TProjectCommands commands{workspace, session, prompts, host};
    TUnsavedWorkRecovery recovery;

    explicit TProgramRun(const TTempDir& dir)
        : workspace({dir / "user/Workspace/", dir / "user/last_project.txt", QUILLMATE_DATA_DIR}),
          recovery(workspace, session, prompts, dir / "user/Recovery") {
        page.Session = &session;
        host.Page = &page;
        host.Session = &session;
        host.Workspace = &workspace;
        commands.UseRecovery(&recovery);
    }
    void Start(const std::string& argument) {
        commands.Start(argument, "20261210-120000");
        session.HandleEditorReady();
        page.Deliver();
    }
    TDocProject& Project() { return workspace.Project(); }
    void Select(const std::string& id) {
        session.SelectTopic(id);
        page.Deliver();
    }
};

struct UnsavedWorkRecovery : ::testing::Test {
    TTempDir dir;
    std::unique_ptr<TProgramRun> run = std::make_unique<TProgramRun>(dir);
    std::string file = dir / "docs/Guide.hff";
    std::string first, second; // topic ids
    std::string firstPage, secondPage;

    // A saved project of two topics, open with nothing unsaved.
    UnsavedWorkRecovery() {
        run->Start("");
        run->page.Type("<p>saved text</p>");
        run->prompts.SaveFiles = {file};
        EXPECT_TRUE(run->commands.Save());
        first = run->Project().RootTopicIDs.front();
        second = run->Project().AddTopic("Second topic", "").ID;
        run->workspace.SaveModel();
        run->Select(second);
        run->Select(first);
        firstPage = ReadFile(run->Project().TopicHtmlPath(first));
        secondPage = ReadFile(run->Project().TopicHtmlPath(second));
    }

    // Edits both topics (the second one left open) and journals them.
    void EditBothAndJournal() {
        run->page.Type("<p>first \xC3\xA9"
                       "dit &amp; more</p>");
        run->Select(second);
        run->page.Type("<p>second edit</p>");
        run->page.Deliver();
        run->recovery.WriteJournal("2026-12-10 12:00");
    }
    // The program dies and starts again on the same project.
    void CrashAndRestart() {
        run.reset();
        run = std::make_unique<TProgramRun>(dir);
    }
    bool PagesUntouched() {
        return ReadFile(run->Project().TopicHtmlPath(first)) == firstPage &&
               ReadFile(run->Project().TopicHtmlPath(second)) == secondPage;
    }
};

} // namespace

TEST_F(UnsavedWorkRecovery, TheJournalKeepsTheTextsOutsideTheProject) {
    EditBothAndJournal();
    const std::string journal = run->recovery.JournalPath();
    ASSERT_TRUE(FileExists(journal));
    EXPECT_EQ(journal.rfind(dir / "user/Recovery/", 0), 0u) << journal;
    EXPECT_TRUE(PagesUntouched()) << "nothing written into the project without Save";
    const auto read = ReadRecoveryJournal(journal);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->ProjectFile, file);
    EXPECT_EQ(read->Topics.size(), 2u);
    EXPECT_NE(read->Topics.at(second).find("second edit"), std::string::npos);
}

TEST_F(UnsavedWorkRecovery, RestartOffersTheTopicsAndRestoresTheTextsExactly) {
    EditBothAndJournal();
    const auto expected = run->session.UnsavedTopicTexts();
    CrashAndRestart();
    run->prompts.YesNo = {true};
    run->Start(file);
    ASSERT_EQ(run->prompts.Questions.size(), 1u);
    const std::string& question = run->prompts.Questions.front();
    EXPECT_NE(question.find("Welcome"), std::string::npos) << question;
    EXPECT_NE(question.find("Second topic"), std::string::npos) << question;

    EXPECT_EQ(run->session.UnsavedTopicTexts(), expected);
    EXPECT_TRUE(run->workspace.Dirty());
    EXPECT_EQ(run->session.GetCurrentTopicHtml(), expected.at(first)) << "the open topic shows it";
    EXPECT_TRUE(PagesUntouched()) << "restored work is unsaved work";

    ASSERT_TRUE(run->commands.Save());
    EXPECT_EQ(ReadFile(run->Project().TopicHtmlPath(first)), expected.at(first));
    EXPECT_EQ(ReadFile(run->Project().TopicHtmlPath(second)), expected.at(second));
    EXPECT_FALSE(FileExists(run->recovery.JournalPath())) << "a clean save removes it";
}

TEST_F(UnsavedWorkRecovery, DecliningDiscardsTheJournal) {
    EditBothAndJournal();
    CrashAndRestart();
    run->prompts.YesNo = {false};
    run->Start(file);
    EXPECT_EQ(run->prompts.Questions.size(), 1u);
    EXPECT_FALSE(FileExists(run->recovery.JournalPath()));
    EXPECT_TRUE(run->session.UnsavedTopicTexts().empty());
    EXPECT_FALSE(run->workspace.Dirty());
    EXPECT_TRUE(PagesUntouched());

    CrashAndRestart();
    run->Start(file); // asked once only: no question is prepared
    EXPECT_TRUE(run->prompts.Questions.empty());
}

TEST_F(UnsavedWorkRecovery, ACleanEndLeavesNoJournal) {
    struct Case {
        const char* what;
        std::function<void(TProgramRun&)> end;
    };
    const Case cases[] = {
        {"save", [](TProgramRun& r) { EXPECT_TRUE(r.commands.Save()); }},
        {"close, answering No",
         [](TProgramRun& r) {
             r.prompts.YesNoCancel = {TAnswer::No};
             EXPECT_TRUE(r.commands.Close());
         }},
        {"close, answering Yes",
         [](TProgramRun& r) {
             r.prompts.YesNoCancel = {TAnswer::Yes};
             EXPECT_TRUE(r.commands.Close());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditBothAndJournal();
        ASSERT_TRUE(FileExists(run->recovery.JournalPath()));
        c.end(*run);
        EXPECT_FALSE(FileExists(run->recovery.JournalPath()));
        // Nothing unsaved: the next timed write writes nothing.
        run->recovery.WriteJournal("later");
        EXPECT_FALSE(FileExists(run->recovery.JournalPath()));
        CrashAndRestart();
        run->Start(file);
        EXPECT_TRUE(run->prompts.Questions.empty());
    }
}

TEST_F(UnsavedWorkRecovery, WhatCannotOrNeedNotBeRestoredIsNotOffered) {
    // A journal naming a deleted topic, and one holding what the page holds
    // already (saved after the journal was written), offer nothing.
    TRecoveryJournal journal;
    journal.RootPath = run->Project().RootPath;
    journal.Topics = {{"0123456789ABCDEF0123456789ABCDEF", "<p>gone</p>"}, {first, firstPage}};
    const std::string path = run->recovery.JournalPath();
    CrashAndRestart();
    WriteRecoveryJournal(path, journal);
    run->Start(file);
    EXPECT_TRUE(run->prompts.Questions.empty());
    EXPECT_FALSE(FileExists(path));

    // A damaged journal is no reason to refuse the project.
    CrashAndRestart();
    WriteFile(path, "{\"topics\":");
    run->Start(file);
    EXPECT_EQ(run->Project().RootPath, dir / "docs/Guide/");
    EXPECT_TRUE(run->prompts.Questions.empty());
}

TEST_F(UnsavedWorkRecovery, AJournalOfTheOpenSessionIsNotOfferedToItself) {
    EditBothAndJournal();
    EXPECT_FALSE(run->recovery.OfferRestore());
    EXPECT_TRUE(run->prompts.Questions.empty());
    EXPECT_TRUE(FileExists(run->recovery.JournalPath()));
}

TEST(UnsavedWorkRecoveryUntitled, TheWorkspaceKeptAsideAfterACrashHoldsTheLatestText) {
    TTempDir dir;
    auto run = std::make_unique<TProgramRun>(dir);
    run->Start("");
    const std::string welcome = run->Project().RootTopicIDs.front();
    run->page.Type("<p>untitled work</p>");
    run->page.Deliver();
    run->recovery.WriteJournal("now");
    const std::string typed = run->session.UnsavedTopicTexts().at(welcome);
    run.reset(); // the crash
    run = std::make_unique<TProgramRun>(dir);
    run->Start("");
    std::string kept;
    for (const auto& e : std::filesystem::directory_iterator(dir / "user"))
        if (e.path().filename().string().rfind("Workspace-", 0) == 0)
            kept = (e.path() / "topics" / (welcome + ".html")).string();
    ASSERT_FALSE(kept.empty()) << "the crashed workspace was set aside";
    EXPECT_EQ(ReadFile(kept), typed);
    EXPECT_FALSE(FileExists(RecoveryJournalPath(dir / "user/Recovery", dir / "user/Workspace/")));
}
