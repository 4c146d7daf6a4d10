#pragma once
// Fixture projects, generated JPEG photos and readers for the CHM tests.
#include "model/DocModel.h"

#include "TempDir.h"

#include <string>
#include <vector>

namespace qm::test {

// A project in a temporary folder whose topics have fixed ids, so expected
// output can be written out literally.
struct TChmFixture {
    TTempDir Dir;
    TDocProject Project;

    TChmFixture();
    // Adds a topic (and its page file when html is given).
    TTopic& AddTopic(const std::string& id, const std::string& title, const std::string& parent,
                     const std::string* html = nullptr);
    void WritePage(const std::string& id, const std::string& html) const;
    [[nodiscard]] std::string OutDir() const;
    [[nodiscard]] std::string Out(const std::string& relative) const;
};

struct TRgbImage {
    unsigned Width = 0;
    unsigned Height = 0;
    std::vector<unsigned char> Pixels; // RGB, rows top to bottom
    [[nodiscard]] const unsigned char* At(unsigned x, unsigned y) const {
        return &Pixels[(static_cast<size_t>(y) * Width + x) * 3];
    }
};

// A JPEG of w by h whose four quadrants are red (top left), green (top
// right), blue (bottom left) and white (bottom right).
[[nodiscard]] std::string MakeQuadrantJpeg(unsigned w, unsigned h);
// The same JPEG with an Exif APP1 segment holding one orientation entry
// right after the start-of-image marker.
[[nodiscard]] std::string WithExifOrientation(const std::string& jpeg, int orientation,
                                              bool littleEndian = true);
// An APP1 Exif segment (marker included) around the given TIFF bytes.
[[nodiscard]] std::string ExifSegment(const std::string& tiff);
[[nodiscard]] TRgbImage DecodeJpeg(const std::string& jpeg);

// Which quadrant colour a pixel shows ("red", "green", "blue", "white" or "?").
[[nodiscard]] std::string ColourName(const unsigned char* rgb);

} // namespace qm::test
