// The variables, snippets and conditions dialog in the real window: cells
// typed, tabs switched, buttons pressed; the file, the flag and the editor.
#include "ReusableContentDialog.h"
#include "AppTestSupport.h"
#include "MainWindow.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "content/ReusableContent.h"
#include "model/DocModel.h"

#include "TempDir.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;
using qm::test::WriteFile;

namespace {

struct TCell {
    const char* grid;
    int row;
    int column;
    const char* text;
};

struct ReusableDialogFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TfrmMain> w;
    std::vector<std::string> sent; // "exec" messages as "cmd|arg"

    ReusableDialogFixture() {
        qputenv("APPDATA", appData.Path().c_str());
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        w = std::make_unique<TfrmMain>(QStringList{}, std::move(p));
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        QObject::connect(w->Bridge(), &TEditorBridge::MessageSent, w.get(),
                         [this](const std::string& json) {
                             const auto doc = TJsonDocument::Parse(json);
                             const Json& m = doc->Root();
                             if (m.value("type", "") == "exec")
                                 sent.push_back(m.value("cmd", "") + "|" + m.value("arg", ""));
                         });
    }
    ~ReusableDialogFixture() override { qm::test::ForgetModalDrivers(); }
    std::string File() { return ReusableContentPath(w->Project()); }

    // The next dialog: act on it (cells, tabs), then press the button.
    static void Drive(std::function<void(TfrmReusableContent*)> act, const char* button) {
        qm::test::OnNextModal(
            [](QWidget* m) { return qobject_cast<TfrmReusableContent*>(m) != nullptr; },
            [act, button](QWidget* m) {
                auto* dialog = qobject_cast<TfrmReusableContent*>(m);
                if (act)
                    act(dialog);
                dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
    }
    static QTableWidget* Grid(QWidget* dialog, const char* name) {
        return dialog->findChild<QTableWidget*>(QString::fromLatin1(name));
    }
    static void Type(QWidget* dialog, const std::vector<TCell>& cells) {
        for (const TCell& c : cells) {
            QTableWidget* grid = Grid(dialog, c.grid);
            grid->setItem(c.row, c.column, new QTableWidgetItem(QString::fromUtf8(c.text)));
            grid->setCurrentCell(c.row, 0);
        }
    }
    void Open() {
        auto* b = w->findChild<QToolButton*>(QStringLiteral("btnLeft-reusable-content"));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled());
        b->click();
    }
};

} // namespace

TEST_F(ReusableDialogFixture, ANewProjectShowsSixteenRowsAndSaveWritesEmptyLists) {
    ASSERT_FALSE(FileExists(File()));
    std::vector<int> rows;
    Drive(
        [&](TfrmReusableContent* d) {
            for (const char* g : {"gridVariables", "gridSnippets", "gridConditions"})
                rows.push_back(Grid(d, g)->rowCount() + 1); // and the header row
        },
        "btnSave");
    Open();
    EXPECT_EQ(rows, (std::vector<int>{16, 16, 16}));
    EXPECT_EQ(ReadFile(File()), R"({"variables":[],"snippets":[],"conditions":[]})");
    EXPECT_TRUE(w->ProjectDirty());
}

TEST_F(ReusableDialogFixture, TwentyVariablesShowThirtyTwoRows) {
    TReusableProjectContent c;
    for (int i = 0; i < 20; ++i)
        c.FVariables.push_back({"V" + std::to_string(i), "value " + std::to_string(i)});
    c.SaveToProject(w->Project());
    int rows = 0;
    QString last;
    Drive(
        [&](TfrmReusableContent* d) {
            rows = Grid(d, "gridVariables")->rowCount() + 1;
            last = Grid(d, "gridVariables")->item(19, 1)->text();
        },
        "btnCancel");
    w->findChild<QAction*>(QStringLiteral("VariablesSnippetsConditions1"))->trigger();
    EXPECT_EQ(rows, 32);
    EXPECT_EQ(last, QStringLiteral("value 19"));
}

TEST_F(ReusableDialogFixture, SavedRowsFollowTheRules) {
    Drive(
        [](TfrmReusableContent* d) {
            Type(d, {{"gridVariables", 0, 1, "value without a name"},
                     {"gridVariables", 2, 0, " Product "},
                     {"gridVariables", 2, 1, " Brightnote "},
                     {"gridConditions", 0, 0, "Pro"},
                     {"gridConditions", 0, 1, "  Yes  "},
                     {"gridConditions", 1, 0, "Beta"},
                     {"gridConditions", 1, 1, "enabled"}});
        },
        "btnSave");
    Open();
    EXPECT_EQ(ReadFile(File()),
              R"({"variables":[{"name":"Product","value":" Brightnote "}],"snippets":[],)"
              R"("conditions":[{"name":"Pro","enabled":true},{"name":"Beta","enabled":false}]})");
}

TEST_F(ReusableDialogFixture, InsertButtonsFollowTheVisibleTab) {
    std::vector<std::vector<bool>> states;
    Drive(
        [&](TfrmReusableContent* d) {
            auto* pages = d->findChild<QTabWidget*>(QStringLiteral("Pages"));
            for (int page : {0, 1, 2}) {
                pages->setCurrentIndex(page);
                std::vector<bool> enabled;
                for (const char* b : {"btnInsertVariable", "btnInsertSnippet",
                                      "btnInsertBeginCondition", "btnInsertEndCondition"})
                    enabled.push_back(
                        d->findChild<QPushButton*>(QString::fromLatin1(b))->isEnabled());
                states.push_back(enabled);
            }
        },
        "btnCancel");
    Open();
    EXPECT_EQ(states, (std::vector<std::vector<bool>>{{true, false, false, false},
                                                      {false, true, false, false},
                                                      {false, false, true, true}}));
}

TEST_F(ReusableDialogFixture, InsertVariableSavesAndInsertsTheEscapedToken) {
    Drive(
        [](TfrmReusableContent* d) {
            Type(d, {{"gridVariables", 0, 0, "A&B"}});
        },
        "btnInsertVariable");
    Open();
    EXPECT_NE(ReadFile(File()).find(R"("name":"A&B")"), std::string::npos);
    EXPECT_EQ(sent, (std::vector<std::string>{"insertHTML|{var:A&amp;B}"}));
    EXPECT_TRUE(WaitUntil([&] {
        return w->GetCurrentTopicHtml().find("{var:A&amp;B}") != std::string::npos;
    })) << w->GetCurrentTopicHtml();
}

TEST_F(ReusableDialogFixture, InsertEndConditionNeedsNoName) {
    Drive(
        [](TfrmReusableContent* d) {
            d->findChild<QTabWidget*>(QStringLiteral("Pages"))->setCurrentIndex(2);
        },
        "btnInsertEndCondition");
    Open();
    EXPECT_EQ(sent, (std::vector<std::string>{"insertHTML|{endcond}"}));
    EXPECT_TRUE(prompts->Infos.empty());
}

TEST_F(ReusableDialogFixture, ABlankNameIsToldAfterTheGridsAreSaved) {
    Drive(
        [](TfrmReusableContent* d) {
            d->findChild<QTabWidget*>(QStringLiteral("Pages"))->setCurrentIndex(1);
            Type(d, {{"gridSnippets", 3, 0, "Later"}});
            Grid(d, "gridSnippets")->setCurrentCell(0, 0);
        },
        "btnInsertSnippet");
    Open();
    EXPECT_EQ(prompts->Infos, (std::vector<std::string>{"Select or enter a snippet name first."}));
    EXPECT_TRUE(sent.empty());
    EXPECT_NE(ReadFile(File()).find("Later"), std::string::npos);
}

TEST_F(ReusableDialogFixture, CancelLeavesTheFileAndTheFlagAlone) {
    const std::string before = R"({"variables":[{"name":"Keep","value":"me"}]})";
    WriteFile(File(), before);
    Drive(
        [](TfrmReusableContent* d) {
            Type(d, {{"gridVariables", 0, 1, "changed"}});
        },
        "btnCancel");
    Open();
    EXPECT_EQ(ReadFile(File()), before);
    EXPECT_FALSE(w->ProjectDirty());
}

TEST_F(ReusableDialogFixture, ADamagedFileOpensNoDialogAndIsKept) {
    const std::string damaged = R"({"variables":[{"name":"Keep")";
    WriteFile(File(), damaged);
    bool shown = false;
    Drive([&](TfrmReusableContent*) { shown = true; }, "btnSave");
    Open();
    qm::test::Pump(100);
    EXPECT_FALSE(shown);
    ASSERT_EQ(prompts->Errors.size(), 1u);
    EXPECT_NE(prompts->Errors[0].find(File()), std::string::npos) << prompts->Errors[0];
    EXPECT_NE(prompts->Errors[0].find("damaged"), std::string::npos) << prompts->Errors[0];
    EXPECT_EQ(ReadFile(File()), damaged);
    EXPECT_FALSE(w->ProjectDirty());
}

TEST_F(ReusableDialogFixture, AFileThatCannotBeWrittenIsReported) {
    std::filesystem::create_directories(File() + "/blocker");
    Drive([](TfrmReusableContent* d) { Type(d, {{"gridVariables", 0, 0, "Lost"}}); }, "btnSave");
    Open();
    ASSERT_EQ(prompts->Warnings.size(), 1u);
    EXPECT_NE(prompts->Warnings[0].find(File()), std::string::npos) << prompts->Warnings[0];
    EXPECT_FALSE(w->ProjectDirty());
}

TEST_F(ReusableDialogFixture, PublishingWithADamagedFileSaysItWasIgnored) {
    const std::string damaged = R"({"snippets":[)";
    WriteFile(File(), damaged);
    w->SetOpenOutputs(false);
    w->PublishWebHelpCommand();
    EXPECT_TRUE(prompts->Errors.empty());
    ASSERT_EQ(prompts->Infos.size(), 1u);
    EXPECT_NE(prompts->Infos[0].find(File()), std::string::npos) << prompts->Infos[0];
    EXPECT_NE(prompts->Infos[0].find("ignored"), std::string::npos) << prompts->Infos[0];
    EXPECT_EQ(ReadFile(File()), damaged);
}
