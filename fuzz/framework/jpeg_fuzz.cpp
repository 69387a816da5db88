// Decodes arbitrary bytes as a JPEG picture, as TJPEGImage does: the header read and the decode agree
// on the size, and the decoder writes only inside the buffer it was given.

#include <cstdlib>
#include <vector>

#include "graphics_jpeg_decode.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    jpeg_codec::JpegSize header;
    try {
        header = jpeg_codec::ReadJpegSize(data, size);
    } catch (const jpeg_codec::JpegFailure&) {
        return 0;
    }
    std::vector<std::uint8_t> pixels;
    try {
        const jpeg_codec::JpegSize decoded =
            jpeg_codec::DecodeJpegPixels(data, size, [&](int width, int height, std::size_t stride) {
                Check(width == header.width && height == header.height && stride >= 3u * width);
                // Large pictures only slow the run down; their headers were read all the same.
                if (stride * height > (16u << 20)) throw jpeg_codec::JpegFailure("too large for fuzzing");
                pixels.resize(stride * height);
                return pixels.data();
            });
        Check(decoded.width == header.width && decoded.height == header.height);
    } catch (const jpeg_codec::JpegFailure&) {
    }
    return 0;
}
