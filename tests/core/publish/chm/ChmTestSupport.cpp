#include "ChmTestSupport.h"

#include "base/Error.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace qm::test {

TChmFixture::TChmFixture() {
    Project.RootPath = Dir / "proj/";
    Project.Title = "Guide";
}

TTopic& TChmFixture::AddTopic(const std::string& id, const std::string& title,
                              const std::string& parent, const std::string* html) {
    auto t = std::make_unique<TTopic>();
    t->ID = id;
    t->Title = title;
    t->ParentID = parent;
    try {
    } catch (const EQuillmateError&) {
        // Ids that no path may hold stay without one; tests use them on purpose.
    }
    TTopic& added = Project.Topics.Add(std::move(t));
    if (parent.empty())
        Project.RootTopicIDs.push_back(id);
    else
        Project.GetTopic(parent).Children.push_back(id);
    if (html != nullptr)
        WritePage(id, *html);
    return added;
}

void TChmFixture::WritePage(const std::string& id, const std::string& html) const {
    WriteFile(Dir / ("proj/topics/" + id + ".html"), html);
}

std::string TChmFixture::OutDir() const {
    return Dir / "proj/build/chm";
}

std::string TChmFixture::Out(const std::string& relative) const {
    return OutDir() + "/" + relative;
}

std::string MakeQuadrantJpeg(unsigned w, unsigned h) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
    while (c.next_scanline < h) {
        const bool top = c.next_scanline < h / 2;
        for (unsigned x = 0; x < w; ++x) {
            const bool left = x < w / 2;
            unsigned char* px = &row[static_cast<size_t>(x) * 3];
            px[0] = static_cast<unsigned char>((top && left) || (!top && !left) ? 255 : 0);
            px[1] = static_cast<unsigned char>((top && !left) || (!top && !left) ? 255 : 0);
            px[2] = static_cast<unsigned char>(!top ? 255 : 0);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::string out(reinterpret_cast<const char*>(buf), size);
    jpeg_destroy_compress(&c);
    std::free(buf);
    return out;
}

std::string ExifSegment(const std::string& tiff) {
    const std::string data = std::string("Exif\0\0", 6) + tiff;
    const size_t len = data.size() + 2;
    std::string seg = "\xFF\xE1";
    seg += static_cast<char>(len >> 8);
    seg += static_cast<char>(len & 0xFF);
    return seg + data;
}

std::string WithExifOrientation(const std::string& jpeg, int orientation, bool littleEndian) {
    auto u16 = [&](unsigned v) {
        const char a = static_cast<char>(v & 0xFF);
        const char b = static_cast<char>(v >> 8);
        return littleEndian ? std::string{a, b} : std::string{b, a};
    };
    auto u32 = [&](unsigned v) {
        return littleEndian ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF);
    };
    // Header, one directory at offset 8 with a single entry, next-directory 0.
    std::string tiff = littleEndian ? "II" : "MM";
    tiff += u16(42) + u32(8) + u16(1);
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(static_cast<unsigned>(orientation)) + u16(0);
    tiff += u32(0);
    return jpeg.substr(0, 2) + ExifSegment(tiff) + jpeg.substr(2);
}

TRgbImage DecodeJpeg(const std::string& jpeg) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(jpeg.data()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    TRgbImage img;
    img.Width = d.output_width;
    img.Height = d.output_height;
    img.Pixels.resize(static_cast<size_t>(img.Width) * img.Height * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW r = &img.Pixels[static_cast<size_t>(d.output_scanline) * img.Width * 3];
        jpeg_read_scanlines(&d, &r, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return img;
}

std::string ColourName(const unsigned char* rgb) {
    auto on = [](unsigned char v) { return v > 200; };
    auto off = [](unsigned char v) { return v < 55; };
    if (on(rgb[0]) && off(rgb[1]) && off(rgb[2]))
        return "red";
    if (off(rgb[0]) && on(rgb[1]) && off(rgb[2]))
        return "green";
    if (off(rgb[0]) && off(rgb[1]) && on(rgb[2]))
        return "blue";
    if (on(rgb[0]) && on(rgb[1]) && on(rgb[2]))
        return "white";
    return "?";
}

} // namespace qm::test
