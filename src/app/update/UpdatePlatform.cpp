#include "update/UpdatePlatform.h"

#include "base/StringUtil.h"
#include "i18n/Translation.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm::app {

namespace {

QString CannotUse(const QString& folder) {
    return QString::fromStdString(FormatS(Translate("Cannot use the folder %s for the download."),
                                          QDir::toNativeSeparators(folder).toStdString()));
}

} // namespace

bool UpdateRunsInstaller() {
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

QString InstallerDownloadFolder(QString* error) {
    // Under the per-user application data (%LOCALAPPDATA% on Windows, whose
    // access list admits only the user and the system), never the shared
    // temporary folder.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("updates"));
    if (base.isEmpty() || !QDir().mkpath(folder)) {
        *error = CannotUse(folder);
        return {};
    }
#ifndef Q_OS_WIN
    // Made or found: it must be ours and closed to everybody else.
    struct stat st {};
    const QByteArray native = QFile::encodeName(folder);
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        ((st.st_mode & 077) != 0 && chmod(native.constData(), 0700) != 0)) {
        *error = CannotUse(folder);
        return {};
    }
#endif
    return folder;
}

bool StartInstaller(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace qm::app
