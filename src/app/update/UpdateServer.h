#pragma once
// Where the update check asks: a deployment setting, never a built-in host.
// Our own builds leave it empty, so they ask nobody.
#include <QLoggingCategory>
#include <QString>
#include <QUrl>

#include <optional>
#include <string_view>

Q_DECLARE_LOGGING_CATEGORY(lcUpdate)

namespace qm::app {

// The settings key that overrides the address the build was configured with.
inline constexpr const char* kUpdateServerKey = "UpdateServer";

// The QSettings value "UpdateServer" when it is present (an empty value turns
// the check off), otherwise the build's QUILLMATE_UPDATE_SERVER.
[[nodiscard]] QString ConfiguredUpdateServer();

// The address as the base of the fixed paths, or nothing when it is empty or
// refused (anything but an https:// address with a host; the reason is logged).
[[nodiscard]] std::optional<QUrl> UpdateServerUrl(const QString& address);

// server + path ("https://example.org/help" + "/download/..." keeps "/help").
[[nodiscard]] QUrl UpdateDocumentUrl(const QUrl& server, std::string_view path);

} // namespace qm::app
