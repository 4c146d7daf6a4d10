#pragma once
// Attribute values read out of a tag's text, as the import needs them.
#include <string>
#include <string_view>

namespace qm {

// The value of the first `name=` attribute in a tag's text, double-quoted,
// single-quoted or bare, as written (entities are not decoded); empty when
// there is none. The name is matched after a word boundary, so "data-style"
// is found for "style" when it stands first.
[[nodiscard]] std::string ReadTagAttribute(std::string_view tagText, std::string_view name);

// An attribute value as the browser reads it, as far as the import writes
// values back: &amp; &lt; &gt; &quot; &#39; and &apos; are decoded in one
// pass (so "&amp;lt;" stays "&lt;"), any other entity stays as written.
// Values are decoded before they are used as URLs and encoded again when
// written, so an "&amp;" in a query is not turned into "&amp;amp;".
[[nodiscard]] std::string DecodeAttributeValue(std::string_view value);

} // namespace qm
