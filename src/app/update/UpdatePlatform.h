#pragma once
// What "Update Now" may do on this system. Where the package manager owns the
// program (Linux), it only opens the download page; on Windows it downloads
// the installer, checks it and starts it.
#include <QString>

namespace qm::app {

// Whether "Update Now" downloads and starts the installer here.
[[nodiscard]] bool UpdateRunsInstaller();

// A folder for downloaded installers that only this user can write (so
// nobody else can swap the file, or plant a library beside it, between the
// check and the start). Empty, with *error set, when it cannot be had.
[[nodiscard]] QString InstallerDownloadFolder(QString* error);

// Starts a verified installer the way the shell opens a file; false when the
// system refuses. The program ends right after, without waiting for it.
[[nodiscard]] bool StartInstaller(const QString& path);

} // namespace qm::app
