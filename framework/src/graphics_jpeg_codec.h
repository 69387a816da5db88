// JPEG decoding into a 24-bit DIB section, shared by TJPEGImage and its tests.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace jpeg_codec {

// A fatal decoder error; the message is libjpeg's own text.
struct JpegFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct DecodedJpeg {
    HBITMAP bitmap = nullptr; // bottom-up 24-bit DIB section, owned by the caller
    int width = 0;
    int height = 0;
};

struct JpegSize {
    int width = 0;
    int height = 0;
};

// Reads only the headers of a JPEG stream held in memory: its size, and whether it can be decoded
// at all (the same failures as DecodeJpeg's, save damage inside the compressed pixels).
JpegSize ReadJpegSize(const std::uint8_t* data, std::size_t size);

// Decodes a whole JPEG stream held in memory. Throws JpegFailure on data libjpeg cannot decode (and
// on images too large to hold); never ends the process. Data missing at the end of the entropy-coded
// part leaves the rest of the picture grey, as libjpeg does.
DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size);

} // namespace jpeg_codec
