// Reads arbitrary bytes as a form's skin stream property: the length frame, the archive inside it,
// then the ini and the elements, as the skin component reads a form's skin.

#include <cstring>

#include "skin_archive/WinConvert.h"
#include "skin_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::int32_t length = 0;
    std::memcpy(&length, data, 4);
    const std::int64_t remaining = static_cast<std::int64_t>(size - 4);
    const TSkinStreamFrame frame = SkinStreamFrame(length, remaining);
    SkinWalkCheck(frame != TSkinStreamFrame::Archive || (length > 0 && length <= remaining));
    if (frame != TSkinStreamFrame::Archive) return 0;
    TByteStream archive(std::span<const std::uint8_t>(data + 4, static_cast<std::size_t>(length)));
    TSkinReader reader;
    reader.OnMessage = [](const std::string&) {};
    try {
        if (!reader.OpenArchive(archive)) return 0;
    } catch (const ElzhException&) {
        return 0;
    }
    WalkSkin(reader);
    return 0;
}
