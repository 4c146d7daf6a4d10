#pragma once
// An image the author picks for a topic: copied into the project's
// assets/images under a name no other file has.
#include <string>

namespace qm {

// The URL of the copy relative to the project folder ("assets/images/a_2.png"),
// or "" when there is no project folder to copy into. Raises EFileError with
// the system's reason when the copy fails; an existing file is never replaced.
[[nodiscard]] std::string CopyImageIntoProject(const std::string& projectRoot,
                                               const std::string& imageFile);

} // namespace qm
