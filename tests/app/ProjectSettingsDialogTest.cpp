// The project settings dialog in the real window, driven as the author
// drives it: texts typed into its fields, OK or Cancel pressed.
#include "ProjectSettingsDialog.h"
#include "AppTestSupport.h"
#include "ColorBox.h"
#include "MainWindow.h"
#include "base/PathUtils.h"
#include "bridge/EditorWebPage.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <QWebEngineProfile>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace qm;
using namespace qm::app;
using qm::test::ReadFile;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;
using qm::test::WriteFile;

namespace {

using TFields = std::map<std::string, std::string>;

struct SettingsDialogFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TfrmMain> w;

    SettingsDialogFixture() {
        qputenv("APPDATA", appData.Path().c_str());
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        w = std::make_unique<TfrmMain>(QStringList{}, std::move(p));
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        prompts->SettingsDialog = [this](TProjectSettings& s) {
            return TfrmProjectSettings::Execute(w.get(), s);
        };
    }
    ~SettingsDialogFixture() override { qm::test::ForgetModalDrivers(); }
    std::string Root() { return w->Project().RootPath; }
    std::string SettingsFile() { return TProjectSettings::DefaultSettingsPathForProject(Root()); }

    // The next settings dialog gets these field texts, then the button.
    static void FillAndPress(const TFields& fields, const char* button) {
        qm::test::OnNextModal(
            [](QWidget* m) { return qobject_cast<TfrmProjectSettings*>(m) != nullptr; },
            [fields, button](QWidget* dialog) {
                for (const auto& [name, text] : fields) {
                    const QString n = QString::fromStdString(name);
                    if (auto* edit = dialog->findChild<QLineEdit*>(n))
                        edit->setText(QString::fromStdString(text));
                    else if (auto* combo = dialog->findChild<QComboBox*>(n))
                        combo->setCurrentText(QString::fromStdString(text));
                    else
                        ADD_FAILURE() << "no field " << name;
                }
                dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
            });
    }
    void OpenWithButton() {
        auto* b = w->findChild<QToolButton*>(QStringLiteral("btnLeft-project-settings"));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled());
        b->click();
    }
};

} // namespace

TEST_F(SettingsDialogFixture, DecimalsAndRangesAsTyped) {
    const struct {
        const char* spacing;
        double stored;
    } cases[] = {{"1,25", 1.25}, {"0.8", 1.0}, {"9", 5.0}};
    for (const auto& c : cases) {
        FillAndPress(
            {{"edLineSpacing", c.spacing}, {"edTocTextSize", "50"}, {"edTableBorderWidth", "0"}},
            "btnOk");
        OpenWithButton();
        EXPECT_DOUBLE_EQ(w->Settings().DefaultLineSpacing, c.stored) << c.spacing;
        TProjectSettings onDisk;
        ASSERT_TRUE(onDisk.LoadFromFile(SettingsFile()));
        EXPECT_DOUBLE_EQ(onDisk.DefaultLineSpacing, c.stored) << c.spacing;
        EXPECT_EQ(onDisk.TocTextSize, 36);
        EXPECT_EQ(onDisk.TableBorderWidth, 1);
        EXPECT_TRUE(w->ProjectDirty());
    }
}

TEST_F(SettingsDialogFixture, AnInvalidValueChangesNothingAtAll) {
    const std::string before = ReadFile(SettingsFile());
    const std::string title = w->Settings().ProjTitle;
    QString message;
    // The title is read before the line interval: it must not stay changed.
    FillAndPress({{"edProjTitle", "Half Read"}, {"edLineSpacing", "abc"}}, "btnOk");
    qm::test::AnswerNextMessageBox(&message);
    OpenWithButton();

    EXPECT_EQ(message, QStringLiteral("Some values are invalid. Please fix them."));
    EXPECT_EQ(w->Settings().ProjTitle, title);
    EXPECT_EQ(ReadFile(SettingsFile()), before);
    EXPECT_FALSE(w->ProjectDirty());
}

TEST_F(SettingsDialogFixture, CancelLeavesSettingsFileHeadersAndFlagAlone) {
    const std::string before = ReadFile(SettingsFile());
    const std::string bg = JoinPath(Root(), "meta/headerbg_default.txt");
    const bool hadBg = FileExists(bg);
    const std::string bgBefore = hadBg ? ReadFile(bg) : "";
    FillAndPress({{"edProjTitle", "Not Taken"}}, "btnCancel");
    w->findChild<QAction*>(QStringLiteral("ProjectSettings1"))->trigger();

    EXPECT_NE(w->Settings().ProjTitle, "Not Taken");
    EXPECT_EQ(ReadFile(SettingsFile()), before);
    EXPECT_EQ(FileExists(bg), hadBg);
    if (hadBg) {
        EXPECT_EQ(ReadFile(bg), bgBefore);
    }
    EXPECT_FALSE(w->ProjectDirty());
}

TEST_F(SettingsDialogFixture, OkAppliesToFilesWindowAndEditor) {
    WriteFile(JoinPath(Root(), "meta/headerbg_SOMETOPIC.txt"), "#010203");
    const std::string topic = w->CurrentTopicID();
    ASSERT_FALSE(topic.empty());
    FillAndPress({{"edProjTitle", "  My Guide  "},
                  {"cmbBodyFontSize", "3"},
                  {"edCopyrightText", " (c) Us "}},
                 "btnOk");
    w->findChild<QAction*>(QStringLiteral("ProjectSettings1"))->trigger();

    EXPECT_EQ(w->Settings().ProjTitle, "My Guide");
    EXPECT_EQ(w->Project().Title, "My Guide");
    EXPECT_EQ(w->Settings().FontSizeBody, 3) << "raised only when the file is read";
    EXPECT_EQ(w->Settings().CopyrightText, "(c) Us");
    EXPECT_TRUE(w->ProjectDirty());
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("*")));
    const std::string color = ColorToHtml(w->Settings().DefaultHeaderBgColor);
    EXPECT_EQ(ReadFile(JoinPath(Root(), "meta/headerbg_SOMETOPIC.txt")), color);
    EXPECT_EQ(ReadFile(JoinPath(Root(), "meta/headerbg_default.txt")), color);
    TProjectSettings onDisk;
    ASSERT_TRUE(onDisk.LoadFromFile(SettingsFile()));
    EXPECT_EQ(onDisk.ProjTitle, "My Guide");
    EXPECT_EQ(onDisk.FontSizeBody, 8);
    // The untouched welcome page gets the default paragraph in the new size.
    EXPECT_TRUE(
        WaitUntil([&] { return w->GetCurrentTopicHtml().find("3px") != std::string::npos; }));
}

TEST_F(SettingsDialogFixture, AFontThatIsNotInstalledSurvivesTheDialog) {
    TProjectSettings s = w->Settings();
    s.DefaultFontName = "No Such Font Anywhere";
    TfrmProjectSettings dialog(s, w.get());
    auto* fonts = dialog.findChild<QComboBox*>(QStringLiteral("cmbFontName"));
    ASSERT_NE(fonts, nullptr);
    EXPECT_EQ(fonts->currentIndex(), -1);
    EXPECT_EQ(dialog.ReadSettings().DefaultFontName, "No Such Font Anywhere");
}

TEST_F(SettingsDialogFixture, ColoursNotInTheListAreKeptAsCustomEntries) {
    TProjectSettings s = w->Settings();
    s.LinkColor = 0x563412; // #123456
    TfrmProjectSettings dialog(s, w.get());
    auto* box = dialog.findChild<TColorBox*>(QStringLiteral("cbLinkColor"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Color(), 0x563412u);
    EXPECT_EQ(dialog.ReadSettings().LinkColor, 0x563412u);
}

TEST_F(SettingsDialogFixture, AnUnwritableSettingsFileIsReportedAndTheValuesStayApplied) {
    namespace fs = std::filesystem;
    fs::remove(SettingsFile());
    fs::create_directories(SettingsFile() + "/blocker");
    FillAndPress({{"edProjTitle", "Kept In Memory"}}, "btnOk");
    OpenWithButton();

    ASSERT_EQ(prompts->Warnings.size(), 1u);
    EXPECT_NE(prompts->Warnings[0].find(SettingsFile()), std::string::npos);
    EXPECT_EQ(w->Settings().ProjTitle, "Kept In Memory");
    EXPECT_TRUE(w->ProjectDirty());
}

TEST_F(SettingsDialogFixture, NewProjectShowsTheDialogAtOnce) {
    FillAndPress({{"edProjTitle", "Fresh Project"}}, "btnOk");
    w->NewProjectCommand();
    EXPECT_EQ(w->Settings().ProjTitle, "Fresh Project");
    TProjectSettings onDisk;
    ASSERT_TRUE(onDisk.LoadFromFile(SettingsFile()));
    EXPECT_EQ(onDisk.ProjTitle, "Fresh Project");
}

TEST_F(SettingsDialogFixture, TheSpellingLanguageIsAProjectSettingTheEditorFollows) {
    QWebEngineProfile* profile = w->Edge()->page()->profile();
    ASSERT_EQ(profile->spellCheckLanguages(), QStringList{"en-US"});
    FillAndPress({{"cmbSpellingLanguage", "Deutsch"}}, "btnOk");
    w->findChild<QAction*>(QStringLiteral("ProjectSettings1"))->trigger();
    EXPECT_EQ(w->Settings().SpellingLanguage, "de-DE");
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"de-DE"});
    TProjectSettings onDisk;
    ASSERT_TRUE(onDisk.LoadFromFile(SettingsFile()));
    EXPECT_EQ(onDisk.SpellingLanguage, "de-DE");

    // A language without a dictionary here survives the dialog.
    TProjectSettings s = w->Settings();
    s.SpellingLanguage = "nl-NL";
    TfrmProjectSettings dialog(s, w.get());
    EXPECT_EQ(dialog.ReadSettings().SpellingLanguage, "nl-NL");

    FillAndPress({{"cmbSpellingLanguage", "Language of the Program"}}, "btnOk");
    w->findChild<QAction*>(QStringLiteral("ProjectSettings1"))->trigger();
    EXPECT_EQ(w->Settings().SpellingLanguage, "");
    EXPECT_EQ(profile->spellCheckLanguages(), QStringList{"en-US"});
}
