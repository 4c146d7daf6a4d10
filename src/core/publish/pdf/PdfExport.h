#pragma once
// Publishing a project as a PDF manual: a title page, the contents with page
// numbers and all published topics, in contents order, joined into
// manual.html beside its style sheet and assets, which a headless
// Chromium-family browser (Microsoft Edge on Windows) prints to manual.pdf
// with page numbers and bookmarks for the headings.
#include "publish/common/PublishOptions.h"

namespace qm {

namespace pdf {
// How long the printed file may take to appear after the browser ended.
inline constexpr int kPdfWaitLimitMs = 5000;
} // namespace pdf

// Writes manual.html, style.css and a copy of the project's assets into the
// output folder and prints manual.pdf (the result's OutputFile). It prints
// twice: first manual.pages.html, a copy with markers in the headings, to
// learn each section's page from the PDF; then manual.html with those
// numbers in its contents. manual.pages.html is removed afterwards. The old
// manual.pdf is deleted first; when it cannot be, the export stops before
// writing anything, with an error that says the file is in use. Only a
// non-empty manual.pdf written after the print started counts as the result.
// When no browser is found ("Microsoft Edge not found") or the print fails,
// manual.html, style.css and the assets stay for the author to print by
// other means. A stop on request is EPublishCancelled; the browser is ended
// at once.
[[nodiscard]] TPublishResult PublishPdf(const TDocProject& project, const TPublishOptions& options);

} // namespace qm
