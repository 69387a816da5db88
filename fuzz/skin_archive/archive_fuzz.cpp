// Opens arbitrary bytes as an archive and reads its ini and elements. The first byte chooses whether the rest
// is the stored archive itself or a decompressed image, which is compressed first so that the directory
// checks see every layout.

#include <cstring>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinConvert.h"
#include "skinpack/LzhEncoder.h"
#include "skin_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    TByteStream stored;
    if (data[0] & 1) {
        stored.Write(rest.data(), static_cast<std::int64_t>(rest.size()));
    } else {
        const std::uint32_t count = static_cast<std::uint32_t>(rest.size());
        const std::uint8_t prefix[4] = {
            static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
            static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
        stored.Write(prefix, 4);
        const auto stream = LzhEncode(rest);
        stored.Write(stream.data(), static_cast<std::int64_t>(stream.size()));
    }

    TSkinReader reader;
    reader.OnMessage = [](const std::string&) {};
    bool opened = false;
    try {
        opened = reader.OpenArchive(stored);
    } catch (const ElzhException&) {
        return 0;
    }
    if (!opened) return 0;

    TByteStream out;
    std::string name;
    std::int64_t total = 0;
    for (const auto& entry : reader.Names()) {
        reader.GetEntry(entry, out);
        total += out.Size();
    }
    reader.FindEntry(".bmp", out, name);
    (void)total;
    WalkSkin(reader);
    return 0;
}
