#pragma once
// Telling local file references of an imported page or style sheet from
// addresses, and finding the file a local reference names.
#include <string>
#include <string_view>

namespace qm {

// True for empty text and for addresses the import never touches: http:,
// https:, data:, mailto:, doc:, //, #, javascript:, tel:, cid: (any case).
[[nodiscard]] bool IsExternalReference(std::string_view text);

// Trimmed text cut at the first "#", then at the first "?".
[[nodiscard]] std::string StripQueryAndFragment(std::string_view text);

// URL decoding: "+" is a space, "%%" a percent sign, %XX runs are UTF-8
// bytes. Raises EConvertError on a malformed escape or bytes that are not UTF-8.
[[nodiscard]] std::string UrlDecode(std::string_view text);

// Absolute, normalised form of a path ("." and ".." resolved).
[[nodiscard]] std::string ExpandFullPath(std::string_view path);

// The absolute path a reference of the imported page names, relative to the
// page's folder; file:/// URLs name their path. A site-root reference
// ("/img/x.png") that does not exist at the root is looked for beside the page.
// Empty when the reference cannot name a local file here: after the query and
// fragment are cut it is empty, it has a malformed escape or a character no
// path may hold, or it names a Windows drive ("C:/...").
[[nodiscard]] std::string ResolveImportPath(std::string_view text, std::string_view htmlFolder);

// The same for a reference inside a style sheet, without the site-root retry.
[[nodiscard]] std::string ResolveCssPath(std::string_view text, std::string_view cssFolder);

} // namespace qm
