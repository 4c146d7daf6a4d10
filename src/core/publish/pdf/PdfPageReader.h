#pragma once
// Reading a printed manual back: on which page each section begins.
#include <string>
#include <string_view>
#include <vector>

namespace qm::pdf {

inline constexpr char kMarkerEnd = 'q';

// prefix, the index in decimal, then kMarkerEnd ("qmpdfmark12q").
[[nodiscard]] std::string PdfMarker(std::string_view prefix, size_t index);

// The first page (counted from 1) on which PdfMarker(prefix, i) stands, for
// each i from 0 to count - 1; 0 where it stands on no page. Raises
// EQuillmateError when the file cannot be read as a PDF.
[[nodiscard]] std::vector<int> FindMarkerPages(const std::string& pdfPath, std::string_view prefix,
                                               size_t count);

} // namespace qm::pdf
