#include "graphics_jpeg_decode.h"

#include <cstdio>
#include <memory>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace jpeg_codec {
namespace {

// The largest picture we agree to hold: guards against headers that claim gigapixel sizes.
constexpr unsigned long long kMaxPixelBytes = 512ull * 1024 * 1024;

[[noreturn]] void ThrowOnFatal(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX] = {};
    (*cinfo->err->format_message)(cinfo, text);
    // Thrown through libjpeg's C frames; the library keeps no state that needs them to finish,
    // and jpeg_destroy_decompress releases everything afterwards.
    throw JpegFailure(text);
}

// Warnings (corrupt but decodable data) are not worth a message: the picture shows what was read.
void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    std::size_t size;
};

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}

// Only called once all bytes are used: the data ended early. Like a file source at its end, hand
// libjpeg an end-of-image marker so that it finishes with what it has.
boolean FillInputBuffer(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = sizeof kFakeEoi;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<std::size_t>(count) > src->bytes_in_buffer) {
        FillInputBuffer(cinfo);
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// CMYK as libjpeg hands it over: Adobe writers store it inverted.
inline std::uint8_t CmykChannel(unsigned c, unsigned k, bool inverted) {
    if (inverted) return static_cast<std::uint8_t>(c * k / 255);
    return static_cast<std::uint8_t>((255 - c) * (255 - k) / 255);
}

// A decompressor reading from memory, with libjpeg's fatal errors thrown as JpegFailure.
struct Decompressor {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    MemorySource source{};

    Decompressor(const std::uint8_t* data, std::size_t size) {
        cinfo.err = jpeg_std_error(&err);
        err.error_exit = ThrowOnFatal;
        err.emit_message = IgnoreMessage;
        err.output_message = IgnoreOutput;
        jpeg_create_decompress(&cinfo);
        source.data = data;
        source.size = data ? size : 0;
        source.pub.init_source = InitSource;
        source.pub.fill_input_buffer = FillInputBuffer;
        source.pub.skip_input_data = SkipInputData;
        source.pub.resync_to_restart = jpeg_resync_to_restart;
        source.pub.term_source = TermSource;
        source.pub.next_input_byte = source.data;
        source.pub.bytes_in_buffer = source.size;
        cinfo.src = &source.pub;
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    // The headers up to the first scan, and the picture's size checked against what we agree to hold.
    JpegSize ReadHeader() {
        jpeg_read_header(&cinfo, TRUE);
        jpeg_calc_output_dimensions(&cinfo);
        const unsigned long long stride =
            (static_cast<unsigned long long>(cinfo.output_width) * 3 + 3) & ~3ull;
        if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > 0x7FFFFFFF ||
            stride * cinfo.output_height > kMaxPixelBytes)
            throw JpegFailure("JPEG picture too large (" + std::to_string(cinfo.output_width) + " x " +
                              std::to_string(cinfo.output_height) + ")");
        return JpegSize{static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height)};
    }
};

} // namespace

JpegSize ReadJpegSize(const std::uint8_t* data, std::size_t size) {
    Decompressor d(data, size);
    return d.ReadHeader();
}

JpegSize DecodeJpegPixels(const std::uint8_t* data, std::size_t size, const PixelAllocator& allocate) {
    Decompressor d(data, size);
    jpeg_decompress_struct& cinfo = d.cinfo;
    d.ReadHeader();
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cinfo.jpeg_color_space == JCS_GRAYSCALE)
        cinfo.out_color_space = JCS_GRAYSCALE;
    else if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = JCS_RGB;
    const bool invertedCmyk = cmyk && cinfo.saw_Adobe_marker;

    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    const unsigned long long stride = (static_cast<unsigned long long>(cinfo.output_width) * 3 + 3) & ~3ull;

    auto* pixels = allocate(width, height, static_cast<std::size_t>(stride));
    const int components = cinfo.output_components;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) break;
        std::uint8_t* out = pixels + static_cast<std::size_t>(height - 1 - y) * stride;
        const JSAMPLE* in = row[0];
        for (int x = 0; x < width; ++x, out += 3) {
            if (components == 1) {
                out[0] = out[1] = out[2] = in[x];
            } else if (components == 4) {
                const JSAMPLE* p = in + 4 * x;
                out[0] = CmykChannel(p[2], p[3], invertedCmyk);
                out[1] = CmykChannel(p[1], p[3], invertedCmyk);
                out[2] = CmykChannel(p[0], p[3], invertedCmyk);
            } else {
                const JSAMPLE* p = in + 3 * x;
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    return JpegSize{width, height};
}

} // namespace jpeg_codec
