#pragma once
// The reusable content of a project as its file holds it now, for the token
// expansion. Every expanded page must see the file as it is at that moment,
// so that what the dialog saved is what the next page uses; parsing the file
// each time would cost more than the expansion itself. So the parsed store is
// kept per file and reused while the file's size, modification time (to the
// nanosecond) and identity are unchanged. Safe to call from several
// publishing threads at once.
#include "content/ReusableContent.h"

#include <memory>

namespace qm {

class TDocProject;

// Errors as TReusableProjectContent::LoadFromProject raises them; a failed
// load is not kept, so the next call tries again.
[[nodiscard]] std::shared_ptr<const TReusableProjectContent>
CurrentReusableContent(const TDocProject& project);

} // namespace qm
