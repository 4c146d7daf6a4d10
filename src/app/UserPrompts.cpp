#include "UserPrompts.h"

#include "PickTopicDialog.h"
#include "ProjectSettingsDialog.h"

#include "i18n/Translation.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace qm::app {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString T(const char* s) {
    return Q(Translate(s));
}

// Where a file dialog starts when the project gives no folder: the user's
// documents, not whatever the current directory happens to be.
QString DefaultFolder() {
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return docs.isEmpty() || !QDir(docs).exists() ? QDir::homePath() : docs;
}
} // namespace

std::optional<std::string> TDialogPrompts::AskText(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(FParent, Q(caption), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

TAnswer TDialogPrompts::AskYesNoCancel(const std::string& text) {
    const auto r = QMessageBox::question(FParent, QApplication::applicationName(), Q(text),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Yes);
    if (r == QMessageBox::Yes)
        return TAnswer::Yes;
    if (r == QMessageBox::No)
        return TAnswer::No;
    return TAnswer::Cancel;
}

bool TDialogPrompts::AskYesNo(const std::string& text) {
    return QMessageBox::warning(FParent, QApplication::applicationName(), Q(text),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> TDialogPrompts::AskSaveProjectFile(const std::string& proposed) {
    QFileDialog dlg(FParent, T("Save Project As..."));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilter(QStringLiteral("Help Project (*.hff)"));
    dlg.setDefaultSuffix(QStringLiteral("hff"));
    dlg.setFileMode(QFileDialog::AnyFile);
    const QFileInfo info(Q(proposed));
    dlg.setDirectory(info.isAbsolute() ? info.absolutePath() : DefaultFolder());
    dlg.selectFile(info.fileName());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles().front().toStdString();
}

std::optional<std::string> TDialogPrompts::AskOpenProjectFile(const std::string& startFolder) {
    const QString folder = startFolder.empty() ? DefaultFolder() : Q(startFolder);
    const QString f = QFileDialog::getOpenFileName(FParent, T("Open Project..."), folder,
                                                   QStringLiteral("Project (*.hff)"));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> TDialogPrompts::AskOpenFile(const std::string& caption,
                                                       const std::string& filter) {
    const QString f = QFileDialog::getOpenFileName(FParent, Q(caption), DefaultFolder(), Q(filter));
    if (f.isEmpty())
        return std::nullopt;
    return f.toStdString();
}

std::optional<std::string> TDialogPrompts::AskTopic(const TDocProject& project) {
    return TfrmPickTopic::Execute(FParent, project);
}

void TDialogPrompts::ShowError(const std::string& text) {
    QMessageBox::critical(FParent, QApplication::applicationName(), Q(text));
}

bool TDialogPrompts::EditProjectSettings(TProjectSettings& settings) {
    return TfrmProjectSettings::Execute(FParent, settings);
}

void TDialogPrompts::ShowWarning(const std::string& text) {
    QMessageBox::warning(FParent, QApplication::applicationName(), Q(text));
}

void TDialogPrompts::ShowInfo(const std::string& caption, const std::string& text) {
    QMessageBox::information(FParent, Q(caption), Q(text));
}

} // namespace qm::app
