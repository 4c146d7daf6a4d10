#include "publish/chm/JpegOrientation.h"

#include "base/Error.h"

#include "ChmTestSupport.h"

#include <gtest/gtest.h>

#include <array>

using namespace qm::chm;
using namespace qm::test;

namespace {

const std::string kSoi = "\xFF\xD8";
const std::string kEoi = "\xFF\xD9";

std::string Be16(unsigned v) {
    return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
}
std::string Le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
std::string Le32(unsigned v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// Little-endian TIFF data: header, then one directory at ifdOffset holding
// the given 12-byte entries, then extra bytes.
std::string Tiff(const std::vector<std::string>& entries, unsigned ifdOffset = 8,
                 const std::string& extra = "", unsigned declaredCount = 0) {
    std::string t = "II" + Le16(42) + Le32(ifdOffset);
    t += std::string(ifdOffset - 8, '\0');
    t += Le16(declaredCount != 0 ? declaredCount : static_cast<unsigned>(entries.size()));
    for (const auto& e : entries)
        t += e;
    return t + Le32(0) + extra;
}

std::string Entry(unsigned tag, unsigned type, unsigned count, unsigned value) {
    return Le16(tag) + Le16(type) + Le32(count) + Le32(value);
}

std::string Segment(unsigned marker, const std::string& data) {
    return std::string{'\xFF', static_cast<char>(marker)} +
           Be16(static_cast<unsigned>(data.size() + 2)) + data;
}

const std::string kJfif = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));

std::string Write(const TTempDir& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir / name;
    WriteFile(path, bytes);
    return path;
}

} // namespace

TEST(ChmJpegOrientation, ReadsTheTagAndStopsSafelyOnAnythingElse) {
    struct Case {
        const char* name;
        std::string bytes;
        int expected;
    };
    const Case cases[] = {
        {"empty file", "", 1},
        {"three bytes", "\xFF\xD8\xFF", 1},
        {"no start of image", "\x89PNG\r\n\x1A\n", 1},
        {"little-endian 6 after JFIF",
         kSoi + kJfif + ExifSegment(Tiff({Entry(0x0112, 3, 1, 6)})) + kEoi, 6},
        {"big-endian 8", WithExifOrientation(kSoi + kEoi, 8, false), 8},
        {"fill bytes before the marker",
         kSoi + "\xFF\xFF" + ExifSegment(Tiff({Entry(0x0112, 3, 1, 3)})).substr(1) + kEoi, 3},
        {"orientation after other entries",
         kSoi + ExifSegment(Tiff({Entry(0x010F, 2, 4, 0), Entry(0x0112, 3, 1, 5)})) + kEoi, 5},
        {"count above one: value at the offset",
         kSoi + ExifSegment(Tiff({Entry(0x0112, 3, 2, 26)}, 8, Le16(7) + Le16(7))) + kEoi, 7},
        {"count above one: offset past the data",
         kSoi + ExifSegment(Tiff({Entry(0x0112, 3, 2, 0xFFFFFFF0)})) + kEoi, 1},
        {"wrong type is not the orientation",
         kSoi + ExifSegment(Tiff({Entry(0x0112, 4, 1, 6)})) + kEoi, 1},
        {"count zero is not the orientation",
         kSoi + ExifSegment(Tiff({Entry(0x0112, 3, 0, 6)})) + kEoi, 1},
        {"XMP segment first, Exif second",
         kSoi + Segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>") +
             ExifSegment(Tiff({Entry(0x0112, 3, 1, 6)})) + kEoi,
         6},
        {"short Exif segment is passed over",
         kSoi + Segment(0xE1, std::string("Exif\0\0II", 8)) +
             ExifSegment(Tiff({Entry(0x0112, 3, 1, 8)})) + kEoi,
         8},
        {"start of scan before any Exif",
         kSoi + Segment(0xDA, "xx") + ExifSegment(Tiff({Entry(0x0112, 3, 1, 6)})), 1},
        {"unknown byte order", kSoi + ExifSegment("XX" + Tiff({Entry(0x0112, 3, 1, 6)}).substr(2)),
         1},
        {"not 42", kSoi + ExifSegment("II" + Le16(43) + Tiff({Entry(0x0112, 3, 1, 6)}).substr(4)),
         1},
        {"directory offset far outside",
         kSoi + ExifSegment(Tiff({}, 8).substr(0, 4) + Le32(0xFFFFFFF0) + "\0\0\0\0\0\0\0\0"), 1},
        {"entry count larger than the data",
         kSoi + ExifSegment(Tiff({Entry(0x010F, 2, 4, 0)}, 8, "", 0xFFFF)), 1},
        {"segment length past the end of the file",
         kSoi + "\xFF\xE1\xFF\xF0" + std::string("Exif\0\0", 6) + Tiff({Entry(0x0112, 3, 1, 6)}),
         1},
        {"skipped segment longer than the file", kSoi + "\xFF\xE0\xFF\xFF" + "JFIF", 1},
        {"segment length below two", kSoi + "\xFF\xE1\x00\x01" + std::string(20, 'x'), 1},
        {"no marker byte where one belongs", kSoi + "\x00\x10" + std::string(20, 'x'), 1},
        {"truncated inside the marker", kSoi + "\xFF\xFF\xFF\xFF", 1},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadJpegOrientation(Write(dir, "t.jpg", c.bytes)), c.expected);
    }
    EXPECT_EQ(ReadJpegOrientation(dir / "missing.jpg"), 1);
}

TEST(ChmJpegOrientation, TurnsPhotosUprightAndDropsTheTag) {
    // The source: 64 by 32, red top left, green top right, blue bottom left,
    // white bottom right. Expected corners of the result: TL, TR, BL, BR.
    struct Case {
        int orientation;
        bool littleEndian;
        unsigned width;
        unsigned height;
        std::array<const char*, 4> corners;
    };
    const Case cases[] = {
        {3, true, 64, 32, {"white", "blue", "green", "red"}},
        {6, true, 32, 64, {"blue", "red", "white", "green"}},
        {6, false, 32, 64, {"blue", "red", "white", "green"}},
        {8, true, 32, 64, {"green", "white", "red", "blue"}},
    };
    const std::string source = MakeQuadrantJpeg(64, 32);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.orientation) + (c.littleEndian ? " II" : " MM"));
        TTempDir dir;
        const std::string path =
            Write(dir, "photo.JPG", WithExifOrientation(source, c.orientation, c.littleEndian));
        NormalizeJpegOrientation(path);
        const std::string bytes = ReadFile(path);
        EXPECT_EQ(ReadJpegOrientation(path), 1);
        EXPECT_EQ(bytes.find("Exif"), std::string::npos);
        const TRgbImage img = DecodeJpeg(bytes);
        ASSERT_EQ(img.Width, c.width);
        ASSERT_EQ(img.Height, c.height);
        const unsigned r = img.Width - 5;
        const unsigned b = img.Height - 5;
        EXPECT_EQ(ColourName(img.At(4, 4)), c.corners[0]);
        EXPECT_EQ(ColourName(img.At(r, 4)), c.corners[1]);
        EXPECT_EQ(ColourName(img.At(4, b)), c.corners[2]);
        EXPECT_EQ(ColourName(img.At(r, b)), c.corners[3]);
    }
}

TEST(ChmJpegOrientation, LeavesOtherFilesByteForByte) {
    const std::string plain = MakeQuadrantJpeg(32, 16);
    struct Case {
        const char* name;
        const char* file;
        std::string bytes;
    };
    const Case cases[] = {
        {"no Exif", "a.jpg", plain},
        {"orientation 1", "a.jpeg", WithExifOrientation(plain, 1)},
        {"mirror image 2", "a.jpg", WithExifOrientation(plain, 2)},
        {"mirror image 5", "a.jpg", WithExifOrientation(plain, 5)},
        {"not a .jpg name", "a.png", WithExifOrientation(plain, 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string path = Write(dir, c.file, c.bytes);
        NormalizeJpegOrientation(path);
        EXPECT_EQ(ReadFile(path), c.bytes);
    }
}

TEST(ChmJpegOrientation, APhotoThatCannotBeDecodedIsLeftUnchanged) {
    const std::string good = WithExifOrientation(MakeQuadrantJpeg(64, 64), 6);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"no image data after the tag", WithExifOrientation(kSoi + kEoi, 6)},
        {"cut off in the middle of the picture", good.substr(0, good.size() / 2)},
        {"garbage frame header", WithExifOrientation(kSoi + Segment(0xC0, "\x08\xFF\xFF"), 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string path = Write(dir, "broken.jpg", c.bytes);
        EXPECT_THROW(NormalizeJpegOrientation(path), qm::EQuillmateError);
        EXPECT_EQ(ReadFile(path), c.bytes);
    }
}
