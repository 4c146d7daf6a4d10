#pragma once
// The images, media and embedded files an imported body refers to: copied
// into the project's assets folders and the references rewritten to them.
#include <string>
#include <string_view>

namespace qm {

struct TImportRun;

// The project-relative URL of the copy of the local file a reference names,
// copying it on first use in the run. Addresses, references to files that do
// not exist, references that cannot be paths and references to files the run
// refuses (recorded in the run) come back unchanged.
[[nodiscard]] std::string RewriteAssetReference(std::string_view value, TImportRun& run);

// Every URL of a srcset list rewritten, descriptors kept ("a.png 1x, b.png 2x").
[[nodiscard]] std::string RewriteSrcset(std::string_view value, TImportRun& run);

// The first src, poster or data attribute of img, source, video, audio,
// track, embed, object and iframe elements, then the srcset of img and
// source, rewritten; every value these touch is written double-quoted.
[[nodiscard]] std::string RewriteMediaReferences(std::string_view body, TImportRun& run);

} // namespace qm
