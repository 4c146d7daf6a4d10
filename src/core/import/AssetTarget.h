#pragma once
// Where an imported or inserted file goes inside the project's assets folder.
// The copies themselves are CopyToNewFileAtomically and WriteNewFileAtomically
// (base/AtomicFile.h): they never replace a file, nor leave half of one.
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qm {

struct TAssetTarget {
    bool Ok = false;
    std::string Url;  // relative to the project folder, slash form ("assets/images/a.png")
    std::string Dest; // full path of the copy to make
};

// What one import run knows about the names it gives out.
struct TReservedPaths {
    // Destinations already promised to a file that is not written yet (a
    // style sheet is planned before the sheets it imports are written).
    std::unordered_set<std::string> Paths;
    // For each plain destination (name.ext) found taken, the number its next
    // copy tries first: a page naming a thousand files "image.png" from
    // different folders probes each number once, not 1 + 2 + ... + 1000 times.
    std::unordered_map<std::string, int> NextNumber;
};

// Chooses a free name in Root\Folder (created if missing) for Source's file
// name: name.ext, then name_2.ext, name_3.ext ... "#", "?" and "%" in the name
// become "_" because the name also ends up in a URL; everything else stays.
// With `reserved`, the name is counted as given out and a later plan for the
// same name starts after it. Fails (Ok false) when any argument is empty;
// raises EFileError when the folder cannot be created.
[[nodiscard]] TAssetTarget PlanAssetTarget(std::string_view root, std::string_view source,
                                           std::string_view folder, std::string_view urlFolder,
                                           TReservedPaths* reserved = nullptr);

// Images inserted from the toolbar.
[[nodiscard]] TAssetTarget PlanImageTarget(std::string_view root, std::string_view source,
                                           TReservedPaths* reserved = nullptr);
// Style sheets and every file a style sheet refers to.
[[nodiscard]] TAssetTarget PlanCssTarget(std::string_view root, std::string_view source,
                                         TReservedPaths* reserved = nullptr);
// Files referenced from an imported body: the folder follows the extension.
[[nodiscard]] TAssetTarget PlanImportTarget(std::string_view root, std::string_view source,
                                            TReservedPaths* reserved = nullptr);

} // namespace qm
