// Help > User's Guide: F1 reaches the guide the build published among the
// program files, the same place an installation has it.
#include "AppPaths.h"
#include "MainWindow.h"

#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "base/PathUtils.h"

#include <QAction>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::app;

TEST(UserGuide, PublishedGuideIsAmongTheProgramFiles) {
    const std::string page = UserGuideStartPage();
    ASSERT_FALSE(page.empty()) << "no guide/index.html in " << ProgramDataDir();
    EXPECT_EQ(page, JoinPath(ProgramDataDir(), "guide/index.html"));
    EXPECT_NE(ReadTextFileUtf8(page).find("<title>Quillmate User&#39;s Guide</title>"),
              std::string::npos);
}

TEST(UserGuide, F1OpensItWithoutComplaint) {
    qm::test::TTempDir appData;
    qputenv("APPDATA", appData.Path().c_str());
    auto owned = std::make_unique<qm::test::TScriptedPrompts>();
    qm::test::TScriptedPrompts* prompts = owned.get();
    TfrmMain w({}, std::move(owned));
    w.SetOpenOutputs(false);

    QAction* guide = nullptr;
    for (QAction* a : w.findChildren<QAction*>())
        if (a->shortcut() == QKeySequence(Qt::Key_F1))
            guide = a;
    ASSERT_NE(guide, nullptr) << "no action on F1";
    EXPECT_EQ(guide->text(), QStringLiteral("User's Guide"));
    guide->trigger();
    EXPECT_TRUE(prompts->Warnings.empty());
    EXPECT_TRUE(prompts->Errors.empty());
}
