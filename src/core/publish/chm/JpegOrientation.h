#pragma once
// Straightening photos that cameras store sideways with an Exif orientation
// tag: the compiled help viewer ignores the tag and would show them turned.
#include <string>

namespace qm::chm {

// The Exif orientation (1 to 8) of a JPEG file, or 1 when the file is
// missing, is no JPEG or has no orientation. Every read is checked against
// the data at hand, so a truncated or hostile file never reads past its end.
// Never changes the file.
[[nodiscard]] int ReadJpegOrientation(const std::string& path);

// Turns a .jpg/.jpeg file with orientation 3, 6 or 8 upright and writes it
// over itself at quality 92, without metadata, so no orientation tag is left.
// Other files and orientations (mirror images included) are left alone.
// Raises EQuillmateError when the picture cannot be decoded cleanly; the
// file is then unchanged.
void NormalizeJpegOrientation(const std::string& path);

} // namespace qm::chm
