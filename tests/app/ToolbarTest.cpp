// The formatting toolbar in the real window: what each control sends to the
// editor page, and how caret reports come back into the controls.
#include "AppTestSupport.h"
#include "FormattingToolbar.h"
#include "MainWindow.h"
#include "PickTopicDialog.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::app;
using qm::test::TScriptedPrompts;
using qm::test::WaitUntil;
using qm::test::WriteFile;

namespace {

struct ToolbarFixture : ::testing::Test {
    qm::test::TTempDir appData;
    TScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TfrmMain> w;
    std::vector<std::string> sent; // the "exec" messages, as "cmd" or "cmd|arg"

    ToolbarFixture() {
        qputenv("APPDATA", appData.Path().c_str());
        auto p = std::make_unique<TScriptedPrompts>();
        prompts = p.get();
        w = std::make_unique<TfrmMain>(QStringList{}, std::move(p));
        w->resize(1366, 700);
        w->show();
        EXPECT_TRUE(WaitUntil([&] { return w->EditorReady(); }));
        qm::test::Pump(300);
        QObject::connect(w->Bridge(), &TEditorBridge::MessageSent, w.get(),
                         [this](const std::string& json) {
                             const auto doc = TJsonDocument::Parse(json);
                             const Json& m = doc->Root();
                             if (m.value("type", "") != "exec")
                                 return;
                             const std::string arg = m.value("arg", "");
                             sent.push_back(m.value("cmd", "") + (arg.empty() ? "" : "|" + arg));
                         });
    }
    template <class T> T* Find(const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    std::vector<std::string> Take() { return std::exchange(sent, {}); }
    void Caret(const std::string& json) {
        w->Bridge()->HandleWebMessage(R"({"type":"cursorStyle",)" + json + "}");
    }
};

} // namespace

TEST_F(ToolbarFixture, EachButtonSendsItsCommand) {
    const std::string topic = w->Project().RootTopicIDs.front();
    const std::string title = w->Project().GetTopic(topic).Title;
    WriteFile(appData / "pictures/pic.png", "\x89PNG\r\n\x1a\n fake but bytes");
    struct Case {
        const char* button;
        std::function<void()> prepare;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"btnBold", {}, {"bold"}},
        {"btnItalic", {}, {"italic"}},
        {"btnUnderline", {}, {"underline"}},
        {"btnUL", {}, {"ul"}},
        {"btnOL", {}, {"ol"}},
        {"btnAlignCenter", {}, {"align|center"}},
        {"btnAlignRight", {}, {"align|right"}},
        {"btnAlignLeft", {}, {"align|left"}},
        {"btnLink",
         [&] { prompts->Texts = {std::string("https://example.org/a")}; },
         {"link|https://example.org/a"}},
        {"btnTopicLink",
         [&] { prompts->Topics = {topic}; },
         {"topicLink|" + JsonWrite(Json{{"href", "doc:" + topic}, {"text", title}})}},
        {"btnInsertTable", [&] { prompts->Texts = {std::string("3,4")}; }, {"table|3,4"}},
        {"btnInsertTable", [&] { prompts->Texts = {std::string("3x4")}; }, {}},
        {"btnImage",
         [&] { prompts->AnyFiles = {appData / "pictures/pic.png"}; },
         {"image|assets/images/pic.png"}},
        {"btnReplaceImage",
         [&] { prompts->AnyFiles = {appData / "pictures/pic.png"}; },
         {"replaceSelectedImage|assets/images/pic_2.png"}},
    };
    for (const Case& c : cases) {
        if (c.prepare)
            c.prepare();
        Take();
        Find<QToolButton>(c.button)->click();
        EXPECT_EQ(Take(), c.expected) << c.button;
    }
    // The picked image lives in the project now, under a name of its own.
    EXPECT_TRUE(FileExists(w->Project().RootPath + "assets/images/pic.png"));
    EXPECT_TRUE(FileExists(w->Project().RootPath + "assets/images/pic_2.png"));
    EXPECT_TRUE(prompts->Errors.empty());
}

TEST_F(ToolbarFixture, BoxesSendClampedValuesOnEnterOrPick) {
    auto* size = Find<QComboBox>("cmbFontSize");
    for (const auto& [typed, expected] : std::vector<std::pair<QString, std::vector<std::string>>>{
             {"300", {"fontSizePx|200"}}, {"5", {"fontSizePx|8"}}, {"abc", {}}}) {
        size->lineEdit()->setText(typed);
        Take();
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(Take(), expected) << typed.toStdString();
    }
    // H2: the block type, then the settings' H2 size, which the size box shows.
    auto* heading = Find<QComboBox>("cmbHeading");
    heading->setCurrentIndex(2);
    const int h2 = w->Settings().FontSizeH2;
    EXPECT_EQ(Take(), (std::vector<std::string>{"h2", "fontSizePx|" + std::to_string(h2)}));
    EXPECT_EQ(size->currentText(), QString::number(h2));
    // A font change puts the size box back to 14 and sends no size.
    size->lineEdit()->setText(QStringLiteral("20"));
    auto* font = Find<QComboBox>("cmbTextFont");
    ASSERT_GT(font->count(), 1);
    font->setCurrentIndex(1);
    EXPECT_EQ(Take(), (std::vector<std::string>{"fontName|" + font->itemText(1).toStdString()}));
    EXPECT_EQ(size->currentText(), QStringLiteral("14"));
    // Line spacing: "," is read as ".", and nothing below 1 is sent.
    auto* spacing = Find<QComboBox>("cmbLineSpacing");
    spacing->lineEdit()->setText(QStringLiteral("1,15"));
    QTest::keyClick(spacing->lineEdit(), Qt::Key_Return);
    spacing->lineEdit()->setText(QStringLiteral("0.5"));
    QTest::keyClick(spacing->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Take(), (std::vector<std::string>{"lineHeight|1.15", "lineHeight|1"}));
    w->Toolbar()->ChooseTextColor(0x0000FF);
    EXPECT_EQ(Take(), (std::vector<std::string>{"foreColor|#FF0000"}));
}

TEST_F(ToolbarFixture, CaretReportsDriveTheControls) {
    qm::test::Pump(1300); // past the windows the settings push opened
    Caret(R"("bold":true,"listType":"ul","blockTag":"H3","fontSizePx":16,"lineHeight":"24px",)"
          R"("textColor":"transparent","align":"justify")");
    EXPECT_TRUE(Find<QToolButton>("btnBold")->isChecked());
    EXPECT_TRUE(Find<QToolButton>("btnUL")->isChecked());
    EXPECT_FALSE(Find<QToolButton>("btnOL")->isChecked());
    EXPECT_EQ(Find<QComboBox>("cmbHeading")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>("cmbFontSize")->currentText(), QStringLiteral("16"));
    EXPECT_EQ(Find<QComboBox>("cmbLineSpacing")->currentText(), QStringLiteral("1.5"));
    EXPECT_EQ(Find<QToolButton>("cbTextColor")->toolTip(), QStringLiteral("#FFFFFF"));
    for (const char* b : {"btnAlignLeft", "btnAlignCenter", "btnAlignRight"})
        EXPECT_FALSE(Find<QToolButton>(b)->isChecked()) << b;
    // The author presses Bold; a report from before the page applied it
    // leaves the button down.
    Find<QToolButton>("btnBold")->click();
    EXPECT_FALSE(Find<QToolButton>("btnBold")->isChecked());
    Caret(R"("bold":true,"fontSizePx":16)");
    EXPECT_FALSE(Find<QToolButton>("btnBold")->isChecked());
}

TEST_F(ToolbarFixture, OneRowWhenWideTwoWhenNarrowNeverSplittingAPair) {
    auto* row2 = Find<QWidget>("pnlToolbar2");
    EXPECT_FALSE(row2->isVisible()) << "1366 px: one row";
    w->resize(900, 700);
    qm::test::Pump(50);
    EXPECT_TRUE(row2->isVisible()) << "900 px: two rows";
    // An icon and its box share a row.
    auto* size = Find<QComboBox>("cmbFontSize");
    EXPECT_EQ(size->parentWidget(), row2);
    for (QWidget* row : {Find<QWidget>("pnlToolbar"), row2}) {
        const auto items = row->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* a : items) {
            EXPECT_LE(a->geometry().right(), row->width()) << "cut off";
            for (QWidget* b : items) {
                if (a != b && a->isVisible() && b->isVisible()) {
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                        << a->objectName().toStdString() << " overlaps "
                        << b->objectName().toStdString();
                }
            }
        }
    }
    w->resize(1366, 700);
    qm::test::Pump(50);
    EXPECT_FALSE(row2->isVisible());
}

TEST_F(ToolbarFixture, AddHtmlImportsAPageAtTheCaret) {
    prompts->AnyFiles = {QUILLMATE_SOURCE_DIR "/tests/core/import/data/saved-page/Article.html"};
    Take();
    Find<QToolButton>("btnImportHTML")->click();
    const std::vector<std::string> got = Take();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].rfind("insertHTML|", 0), 0u);
    EXPECT_NE(got[0].find("assets/images/"), std::string::npos) << "its images were copied";
    EXPECT_TRUE(w->ProjectDirty());
    EXPECT_EQ(w->StatusText(), QStringLiteral("Inserted HTML: Article.html"));
}

TEST(TopicPicker, ShowsTheContentsAndReturnsThePick) {
    qm::test::TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "p/";
    TTopic& a = p.AddTopic("A", "");
    p.AddTopic("A1", a.ID);
    p.AddTopic("B", "");
    p.GetTopic(a.ID).Children.push_back("DANGLING");
    TfrmPickTopic dlg(nullptr, p);
    QTreeWidget* tree = dlg.Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0)) << "the first root topic is picked";
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1) << "a dangling child is not shown";
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    tree->setCurrentItem(tree->topLevelItem(1));
    dlg.btnOKClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.SelectedID(), p.RootTopicIDs[1]);

    TDocProject empty;
    TfrmPickTopic none(nullptr, empty);
    none.btnOKClick();
    EXPECT_EQ(none.result(), QDialog::Rejected);
    EXPECT_TRUE(none.SelectedID().empty());
}
