// JPEG decoding into a bottom-up 24-bit pixel buffer, without the system: the part of the codec
// that reads the stream, shared by TJPEGImage, its tests and the host's fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace jpeg_codec {

// A fatal decoder error; the message is libjpeg's own text.
struct JpegFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct JpegSize {
    int width = 0;
    int height = 0;
};

// Reads only the headers of a JPEG stream held in memory: its size, and whether it can be decoded
// at all (the same failures as DecodeJpeg's, save damage inside the compressed pixels).
JpegSize ReadJpegSize(const std::uint8_t* data, std::size_t size);

// Gives the buffer of height rows of `stride` bytes for a picture of that size (blue, green, red;
// the last row first); throws to refuse it.
using PixelAllocator = std::function<std::uint8_t*(int width, int height, std::size_t stride)>;

// Decodes a whole JPEG stream held in memory into the buffer `allocate` gives. Throws JpegFailure on
// data libjpeg cannot decode (and on images too large to hold); never ends the process. Data missing
// at the end of the entropy-coded part leaves the rest of the picture grey, as libjpeg does.
JpegSize DecodeJpegPixels(const std::uint8_t* data, std::size_t size, const PixelAllocator& allocate);

} // namespace jpeg_codec
