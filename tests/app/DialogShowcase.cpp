// Shows the program's dialogs in one language and saves a picture of each,
// for looking at their layout and texts:
//     dialog_showcase LANG OUTDIR     (LANG: en, de, fr or es; under xvfb-run)
#include "MainWindow.h"
#include "ProjectSettingsDialog.h"
#include "QtTranslations.h"
#include "ReusableContentDialog.h"
#include "TopicPropertiesPanel.h"
#include "i18n/Translation.h"
#include "settings/ProjectSettings.h"
#include "update/NewVersionDialog.h"
#include "update/UpdateDocuments.h"

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTabWidget>

#include <cstdio>
#include <string>

using namespace qm;
using namespace qm::app;

namespace {

void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Shoot(QWidget* w, const std::string& file) {
    w->show();
    Pump(400);
    if (!w->grab().save(QString::fromStdString(file)))
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
    else
        std::printf("%s\n", file.c_str());
    w->hide();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_showcase LANG OUTDIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmate"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::string lang = argv[1];
    const std::string out = std::string(argv[2]) + "/";
    LoadTranslation(QUILLMATE_SOURCE_DIR "/resources/translations/transl.qz", lang);
    UseQtTranslations(lang);

    TProjectSettings settings;
    settings.LinkColor = 0x563412; // a custom colour, shown as its own entry
    TfrmProjectSettings settingsDialog(settings, nullptr);
    Shoot(&settingsDialog, out + "settings_" + lang + ".png");

    TContentRows rows;
    rows.Variables = {{"ProductName", "Brightnote"}, {"A&B", "ampersand"}};
    rows.Snippets = {{"SupportNote", "<p>Questions? <b>support@example.com</b></p>"}};
    rows.Conditions = {{"ProEdition", "false"}};
    TfrmReusableContent reusable(rows, nullptr);
    Shoot(&reusable, out + "reusable_variables_" + lang + ".png");
    reusable.findChild<QTabWidget*>(QStringLiteral("Pages"))->setCurrentIndex(2);
    Shoot(&reusable, out + "reusable_conditions_" + lang + ".png");

    QMessageBox invalid(
        QMessageBox::Critical, QApplication::applicationName(),
        QString::fromStdString(Translate("Some values are invalid. Please fix them.")),
        QMessageBox::Ok | QMessageBox::Cancel);
    Shoot(&invalid, out + "message_" + lang + ".png");
    QColorDialog colors;
    Shoot(&colors, out + "colors_" + lang + ".png");

    const std::string changes = "PDF manuals with bookmarks for every heading\n\n"
                                "Search in WebHelp finds words with accents\n"
                                "Snippets inside snippets\n";
    for (const char* versions : {"21/10", "21/21"}) {
        const auto notice = EvaluateUpdateDocuments(versions, changes);
        if (!notice)
            continue;
        TfrmNewVersion update(*notice, QUrl(QStringLiteral("https://updates.example.org")));
        Shoot(&update, out + (notice->Forced ? "update_forced_" : "update_") + lang + ".png");
    }

    TfrmMain window(QStringList{});
    window.resize(1300, 800);
    window.show();
    window.ShowPropertiesCommand();
    Pump(3000);
    Shoot(&window, out + "window_properties_" + lang + ".png");
    return 0;
}
