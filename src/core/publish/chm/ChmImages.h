#pragma once
// Straightening the photos that published pages show, in the output folder's
// copy of the assets.
#include <string>
#include <string_view>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::chm {

// Every value of a src attribute in html (src="...", SRC = '...', data-src
// too), in document order, as written between the quotes.
[[nodiscard]] std::vector<std::string> CollectSrcValues(std::string_view html);

// For each topic published to CHM, the .jpg/.jpeg files its stored page
// refers to under assets/ are straightened in outDir (once each, however many
// pages show them). The project's own assets are never touched, and a
// reference that climbs out of the assets folder ("..") is ignored. A photo
// that cannot be straightened stays as copied; the returned warnings name it.
[[nodiscard]] std::vector<std::string> NormalizeChmImages(const TDocProject& project,
                                                          const std::string& outDir);

} // namespace qm::chm
