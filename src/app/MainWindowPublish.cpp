// The Publish menu: each command commits the working state, runs the core
// publisher with a progress dialog and opens the result.
#include "MainWindow.h"

#include "AppPaths.h"
#include "PublishRunner.h"
#include "base/PathUtils.h"
#include "i18n/Translation.h"
#include "linkcheck/LinkChecker.h"
#include "model/DocModel.h"
#include "publish/chm/ChmExport.h"
#include "publish/common/PublishCommon.h"
#include "publish/pdf/PdfExport.h"
#include "publish/webhelp/WebHelpExport.h"

#include <QDesktopServices>
#include <QUrl>

namespace qm::app {

void TfrmMain::PublishWebHelpCommand() {
    CommitWorkingState();
    const std::string outDir =
        EnsureDir(JoinPath(JoinPath(Project().RootPath, "build"), "webhelp"));
    const TDocProject& project = Project();
    RunWithProgress(this, Translate("Publishing WebHelp..."), [&](TJobContext& ctx) {
        TWebHelpExportOptions options;
        options.Progress = [&ctx](size_t done, size_t total) {
            ctx.Total = total;
            ctx.Done = done;
        };
        ExportWebHelp(project, outDir, options);
    });
    const std::string index = InstallWebHelpTemplates(
        JoinPath(Project().RootPath, "internal/webhelp"), outDir, &Settings(), Project().Title);
    FLastPublishedOutput = index;
    SetStatus("WebHelp exported: " + index);
    if (FOpenOutputs)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(index)));
}

void TfrmMain::PublishChmCommand() {
    CommitWorkingState();
    const TDocProject& project = Project();
    chm::TChmPublishResult result;
    RunWithProgress(this, Translate("Publishing CHM..."), [&](TJobContext& ctx) {
        chm::TChmExportOptions options;
        options.Progress = [&ctx](size_t done, size_t total) {
            ctx.Total = total;
            ctx.Done = done;
        };
        options.Cancelled = [&ctx] { return ctx.Cancel.load(); };
        result = chm::PublishChm(project, options);
    });
    FLastPublishedOutput = result.ChmFile;
    SetStatus("CHM exported: " + result.ChmFile);
    if (!result.Warnings.empty()) {
        std::string text;
        for (const auto& w : result.Warnings)
            text += w + "\n";
        FPrompts->ShowInfo(Translate("CHM"), text);
    }
    if (FOpenOutputs)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(result.ChmFile)));
}

void TfrmMain::PublishPdfCommand() {
    CommitWorkingState();
    const TDocProject& project = Project();
    pdf::TPdfExportResult result;
    RunWithProgress(this, Translate("Publishing PDF..."), [&](TJobContext& ctx) {
        result = pdf::PublishPdf(
            project, "",
            [&ctx](size_t done, size_t total) {
                ctx.Total = total;
                ctx.Done = done;
            },
            [&ctx] { return ctx.Cancel.load(); });
    });
    FLastPublishedOutput = result.PdfFile;
    SetStatus("PDF exported: " + result.PdfFile);
    if (FOpenOutputs)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(result.PdfFile)));
}

void TfrmMain::CheckLinksCommand() {
    CommitWorkingState();
    const std::vector<TLinkIssue> issues = CheckLinks(Project());
    FPrompts->ShowInfo(Translate("Check Links"),
                       issues.empty() ? Translate(kNoLinkIssuesFound) : LinkIssuesReport(issues));
}

} // namespace qm::app
