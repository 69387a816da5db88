// Decodes arbitrary bytes as a stored stream, and encodes short inputs and decodes them back.

#include <cstdlib>
#include <cstring>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinConvert.h"
#include "skinpack/LzhEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TSkinReader reader;
    {
        TByteStream input(std::span<const std::uint8_t>(data, size));
        TByteStream output;
        try {
            reader.Decompress(input, output);
        } catch (const ElzhException&) {
        }
    }

    // The round trip runs on short inputs only: the encoder's search would slow long runs to a crawl,
    // and long inputs are there for the decoder's tree rebuilds.
    if (size > 4096) return 0;
    const std::vector<std::uint8_t> stream = LzhEncode(std::span<const std::uint8_t>(data, size));
    TByteStream encoded;
    const std::uint32_t count = static_cast<std::uint32_t>(size);
    const std::uint8_t prefix[4] = {static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
                                    static_cast<std::uint8_t>(count >> 16),
                                    static_cast<std::uint8_t>(count >> 24)};
    encoded.Write(prefix, 4);
    encoded.Write(stream.data(), static_cast<std::int64_t>(stream.size()));
    TByteStream decoded;
    reader.Decompress(encoded, decoded);
    if (static_cast<std::size_t>(decoded.Size()) != size ||
        (size != 0 && std::memcmp(decoded.Data(), data, size) != 0))
        std::abort();
    return 0;
}
