#include "publish/chm/JpegOrientation.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace qm::chm {

namespace {

constexpr int kJpegQuality = 92;
// Far beyond any camera (about 300 MB of pixels); a header that claims more is
// hostile or broken, and decoding it would only exhaust memory.
constexpr std::uint64_t kMaxPixels = 100'000'000;
constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kTypeShort = 3;

// A file read front to back, where every read says whether the bytes were
// there; nothing is read beyond the end that the size promised.
class TSegmentReader {
public:
    explicit TSegmentReader(const std::string& path) : FIn(path, std::ios::binary) {
        if (FIn) {
            FIn.seekg(0, std::ios::end);
            const std::streamoff size = FIn.tellg();
            FRemaining = size > 0 ? static_cast<std::uint64_t>(size) : 0;
            FIn.seekg(0, std::ios::beg);
        }
    }
    [[nodiscard]] std::uint64_t Remaining() const { return FRemaining; }
    bool Read(void* to, std::uint64_t n) {
        if (n > FRemaining || !FIn.read(static_cast<char*>(to), static_cast<std::streamsize>(n)))
            return false;
        FRemaining -= n;
        return true;
    }
    bool Byte(unsigned& b) {
        unsigned char c = 0;
        if (!Read(&c, 1))
            return false;
        b = c;
        return true;
    }
    bool Skip(std::uint64_t n) {
        if (n > FRemaining || !FIn.seekg(static_cast<std::streamoff>(n), std::ios::cur))
            return false;
        FRemaining -= n;
        return true;
    }

private:
    std::ifstream FIn;
    std::uint64_t FRemaining = 0;
};

// Numbers inside the Exif data, in the byte order its TIFF header names.
class TExifData {
public:
    TExifData(const std::vector<unsigned char>& data, bool littleEndian)
        : FData(data), FLittle(littleEndian) {}
    [[nodiscard]] bool Holds(std::uint64_t offset, std::uint64_t n) const {
        return offset <= FData.size() && n <= FData.size() - offset;
    }
    [[nodiscard]] unsigned U16(std::uint64_t at) const {
        const unsigned a = FData[at];
        const unsigned b = FData[at + 1];
        return FLittle ? (a | b << 8) : (a << 8 | b);
    }
    [[nodiscard]] std::uint32_t U32(std::uint64_t at) const {
        const std::uint32_t first = U16(at);
        const std::uint32_t second = U16(at + 2);
        return FLittle ? (second << 16 | first) : (first << 16 | second);
    }

private:
    const std::vector<unsigned char>& FData;
    bool FLittle;
};

// The orientation in one APP1 segment's data: 0 when it holds none (the
// search goes on with the next segment), -1 when the search must stop with 1.
int OrientationInExif(const std::vector<unsigned char>& data) {
    static constexpr unsigned char kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (data.size() < 14 || !std::equal(std::begin(kExif), std::end(kExif), data.begin()))
        return 0;
    bool little = false;
    if (data[6] == 'I' && data[7] == 'I')
        little = true;
    else if (!(data[6] == 'M' && data[7] == 'M'))
        return -1;
    const TExifData d(data, little);
    if (d.U16(8) != 42)
        return -1;
    const std::uint64_t ifd = 6 + static_cast<std::uint64_t>(d.U32(10));
    if (!d.Holds(ifd, 2))
        return -1;
    const unsigned count = d.U16(ifd);
    for (unsigned i = 0; i < count; ++i) {
        const std::uint64_t entry = ifd + 2 + 12 * static_cast<std::uint64_t>(i);
        if (!d.Holds(entry, 12))
            break;
        const unsigned tag = d.U16(entry);
        const unsigned type = d.U16(entry + 2);
        const std::uint32_t n = d.U32(entry + 4);
        if (tag != kOrientationTag || type != kTypeShort || n < 1)
            continue;
        if (n == 1)
            return static_cast<int>(d.U16(entry + 8));
        // More than one value: the field holds an offset from the TIFF header.
        const std::uint64_t at = 6 + static_cast<std::uint64_t>(d.U32(entry + 8));
        return d.Holds(at, 2) ? static_cast<int>(d.U16(at)) : -1;
    }
    return 0;
}

// --- libjpeg glue: its errors arrive through error_exit, which must not
// return; longjmp takes them back to the setjmp of the one function below,
// where nothing with a destructor lives between the two.

struct TJpegError {
    jpeg_error_mgr Mgr{};
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
    // Warnings (level -1) are counted by libjpeg itself and checked after
    // decoding; nothing goes to the console.
    if (level < 0)
        ++cinfo->err->num_warnings;
}

// Everything one conversion owns, on the heap: values changed after setjmp
// stay valid after a longjmp only when they do not live in the frame.
struct TJpegJob {
    jpeg_decompress_struct In{};
    jpeg_compress_struct Out{};
    TJpegError InErr;
    TJpegError OutErr;
    bool InCreated = false;
    bool OutCreated = false;
    std::string Source;
    std::vector<unsigned char> Pixels;
    std::vector<unsigned char> Turned;
    unsigned char* Encoded = nullptr;
    unsigned long EncodedSize = 0;
    JDIMENSION Width = 0;
    JDIMENSION Height = 0;
    ~TJpegJob() {
        if (InCreated)
            jpeg_destroy_decompress(&In);
        if (OutCreated)
            jpeg_destroy_compress(&Out);
        std::free(Encoded);
    }
};

// Decodes job.Source into job.Pixels (RGB). False with InErr.Message on failure.
bool Decode(TJpegJob& job) {
    job.In.err = jpeg_std_error(&job.InErr.Mgr);
    job.InErr.Mgr.error_exit = OnJpegError;
    job.InErr.Mgr.emit_message = OnJpegMessage;
    if (setjmp(job.InErr.Jump) != 0)
        return false;
    jpeg_create_decompress(&job.In);
    job.InCreated = true;
    jpeg_mem_src(&job.In, reinterpret_cast<const unsigned char*>(job.Source.data()),
                 static_cast<unsigned long>(job.Source.size()));
    jpeg_read_header(&job.In, TRUE);
    job.In.out_color_space = JCS_RGB;
    jpeg_start_decompress(&job.In);
    job.Width = job.In.output_width;
    job.Height = job.In.output_height;
    if (static_cast<std::uint64_t>(job.Width) * job.Height > kMaxPixels) {
        std::snprintf(job.InErr.Message, sizeof job.InErr.Message, "The picture is too large.");
        return false;
    }
    const size_t stride = static_cast<size_t>(job.Width) * 3;
    job.Pixels.resize(stride * job.Height);
    while (job.In.output_scanline < job.Height) {
        JSAMPROW row = job.Pixels.data() + stride * job.In.output_scanline;
        jpeg_read_scanlines(&job.In, &row, 1);
    }
    jpeg_finish_decompress(&job.In);
    return true;
}

// Encodes job.Turned (w by h, RGB) into job.Encoded. False with OutErr.Message.
bool Encode(TJpegJob& job, JDIMENSION w, JDIMENSION h) {
    job.Out.err = jpeg_std_error(&job.OutErr.Mgr);
    job.OutErr.Mgr.error_exit = OnJpegError;
    job.OutErr.Mgr.emit_message = OnJpegMessage;
    if (setjmp(job.OutErr.Jump) != 0)
        return false;
    jpeg_create_compress(&job.Out);
    job.OutCreated = true;
    jpeg_mem_dest(&job.Out, &job.Encoded, &job.EncodedSize);
    job.Out.image_width = w;
    job.Out.image_height = h;
    job.Out.input_components = 3;
    job.Out.in_color_space = JCS_RGB;
    jpeg_set_defaults(&job.Out);
    jpeg_set_quality(&job.Out, kJpegQuality, TRUE);
    jpeg_start_compress(&job.Out, TRUE);
    const size_t stride = static_cast<size_t>(w) * 3;
    while (job.Out.next_scanline < h) {
        JSAMPROW row = job.Turned.data() + stride * job.Out.next_scanline;
        jpeg_write_scanlines(&job.Out, &row, 1);
    }
    jpeg_finish_compress(&job.Out);
    return true;
}

// The picture turned upright; w and h receive the new size.
void Turn(TJpegJob& job, int orientation, JDIMENSION& w, JDIMENSION& h) {
    const size_t W = job.Width;
    const size_t H = job.Height;
    const bool quarter = orientation != 3;
    w = quarter ? job.Height : job.Width;
    h = quarter ? job.Width : job.Height;
    const size_t outStride = static_cast<size_t>(w) * 3;
    job.Turned.assign(job.Pixels.size(), 0);
    for (size_t y = 0; y < H; ++y) {
        for (size_t x = 0; x < W; ++x) {
            size_t tx = 0;
            size_t ty = 0;
            switch (orientation) {
            case 3: // half turn
                tx = W - 1 - x;
                ty = H - 1 - y;
                break;
            case 6: // quarter turn clockwise
                tx = H - 1 - y;
                ty = x;
                break;
            default: // 8: quarter turn counter-clockwise
                tx = y;
                ty = W - 1 - x;
                break;
            }
            const unsigned char* from = &job.Pixels[(y * W + x) * 3];
            unsigned char* to = &job.Turned[ty * outStride + tx * 3];
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

} // namespace

int ReadJpegOrientation(const std::string& path) {
    if (!FileExists(path))
        return 1;
    TSegmentReader r(path);
    if (r.Remaining() < 4)
        return 1;
    unsigned char soi[2];
    if (!r.Read(soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8)
        return 1;
    for (;;) {
        if (r.Remaining() < 4)
            return 1;
        unsigned b = 0;
        if (!r.Byte(b) || b != 0xFF)
            return 1;
        unsigned marker = 0xFF;
        while (marker == 0xFF) // fill bytes before the marker code
            if (!r.Byte(marker))
                return 1;
        if (marker == 0xD9 || marker == 0xDA)
            return 1;
        unsigned hi = 0;
        unsigned lo = 0;
        if (!r.Byte(hi) || !r.Byte(lo))
            return 1;
        const unsigned length = hi << 8 | lo;
        if (length < 2)
            return 1;
        if (marker != 0xE1) {
            if (!r.Skip(length - 2))
                return 1;
            continue;
        }
        std::vector<unsigned char> data(length - 2);
        if (!r.Read(data.data(), data.size()))
            return 1;
        const int found = OrientationInExif(data);
        if (found < 0)
            return 1;
        if (found > 0)
            return found;
    }
}

void NormalizeJpegOrientation(const std::string& path) {
    const std::string ext = AsciiLower(ExtractFileExt(path));
    if (ext != ".jpg" && ext != ".jpeg")
        return;
    const int orientation = ReadJpegOrientation(path);
    if (orientation != 3 && orientation != 6 && orientation != 8)
        return;

    auto job = std::make_unique<TJpegJob>();
    job->Source = ReadFileBytes(path);
    if (!Decode(*job))
        throw EQuillmateError("Cannot decode the picture \"" + path + "\". " + job->InErr.Message);
    // A damaged photo decodes with grey patches and a warning; writing that
    // back would make the damage permanent, so it is left as it was.
    if (job->InErr.Mgr.num_warnings > 0) {
        (*job->InErr.Mgr.format_message)(reinterpret_cast<j_common_ptr>(&job->In),
                                         job->InErr.Message);
        throw EQuillmateError("Cannot decode the picture \"" + path + "\". " + job->InErr.Message);
    }
    JDIMENSION w = 0;
    JDIMENSION h = 0;
    Turn(*job, orientation, w, h);
    if (!Encode(*job, w, h))
        throw EQuillmateError("Cannot encode the picture \"" + path + "\". " + job->OutErr.Message);
    WriteOutputFile(path, std::string_view(reinterpret_cast<const char*>(job->Encoded),
                                           static_cast<size_t>(job->EncodedSize)));
}

} // namespace qm::chm
