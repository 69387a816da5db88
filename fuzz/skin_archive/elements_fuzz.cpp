// Reads arbitrary bytes as a skin ini and every section and key of it as the element readers do.

#include "skin_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TByteStream stream(std::span<const std::uint8_t>(data, size));
    TQuickIni ini;
    ini.LoadFromStream(&stream);
    WalkSkinIni(ini, nullptr);
    return 0;
}
