// Parses arbitrary bytes as ini text and looks up every key of every section.

#include "skin_archive/WinSkinIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TByteStream stream(std::span<const std::uint8_t>(data, size));
    TQuickIni ini;
    ini.LoadFromStream(&stream);
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    for (const auto& line : ini.Lines()) {
        const std::string key = TQuickIni::KeyOfLine(line);
        for (const auto& section : sections) {
            ini.ReadString(section, key, "d");
            ini.ReadInteger(section, key, 0);
        }
        ini.ReadInteger(TQuickIni::ValueOfLine(line), key, 0);
    }
    return 0;
}
