// The Publish menu: each command commits the working state, runs the core
// publisher with a progress dialog and opens the result.
#include "MainWindow.h"

#include "AppPaths.h"
#include "PublishRunner.h"
#include "content/ReusableContent.h"
#include "i18n/Translation.h"
#include "linkcheck/LinkChecker.h"
#include "model/DocModel.h"
#include "publish/Publish.h"

#include <QDesktopServices>
#include <QUrl>

namespace qm::app {

namespace {

// Written out per format, not put together from the format's name, so that
// each text is a key of the translation table as it stands.
struct TPublishTexts {
    const char* Progress;
    const char* Exported;
};

TPublishTexts TextsOf(TPublishFormat format) {
    switch (format) {
    case TPublishFormat::WebHelp:
        return {"Publishing WebHelp...", "WebHelp exported: "};
    case TPublishFormat::Chm:
        return {"Publishing CHM...", "CHM exported: "};
    case TPublishFormat::Pdf:
        return {"Publishing PDF...", "PDF exported: "};
    }
    throw EQuillmateError("Unknown publishing format");
}

} // namespace

void TfrmMain::PublishWebHelpCommand() {
    PublishCommand(TPublishFormat::WebHelp);
}

void TfrmMain::PublishChmCommand() {
    PublishCommand(TPublishFormat::Chm);
}

void TfrmMain::PublishPdfCommand() {
    PublishCommand(TPublishFormat::Pdf);
}

void TfrmMain::PublishCommand(TPublishFormat format) {
    CommitWorkingState();
    const TPublishTexts texts = TextsOf(format);
    const TDocProject& project = Project();
    // Asks Qt where the program is, which only the user-interface thread may.
    const std::string programData = ProgramDataDir();
    TPublishResult result;
    try {
        RunWithProgress(this, Translate(texts.Progress), [&](TJobContext& ctx) {
            TPublishOptions options;
            options.Progress = [&ctx](size_t done, size_t total) {
                ctx.Total = total;
                ctx.Done = done;
            };
            options.Cancel = &ctx.Cancel;
            options.ProgramDataDir = programData;
            result = Publish(format, project, options);
        });
    } catch (const EPublishCancelled&) {
        SetStatus(Translate("Publishing cancelled"));
        return;
    }
    FLastPublishedOutput = result.OutputFile;
    SetStatus(Translate(texts.Exported) + result.OutputFile);
    if (std::string damaged = DamagedReusableContentWarning(project); !damaged.empty())
        result.Warnings.push_back(std::move(damaged));
    if (!result.Warnings.empty()) {
        std::string text;
        for (const std::string& w : result.Warnings)
            text += w + "\n";
        FPrompts->ShowInfo(Translate(std::string(FormatTitle(format))), text);
    }
    if (FOpenOutputs)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(result.OutputFile)));
}

void TfrmMain::CheckLinksCommand() {
    CommitWorkingState();
    const std::vector<TLinkIssue> issues = CheckLinks(Project());
    FPrompts->ShowInfo(Translate("Check Links"),
                       issues.empty() ? Translate(kNoLinkIssuesFound) : LinkIssuesReport(issues));
}

} // namespace qm::app
