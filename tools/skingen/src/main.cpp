// skingen <skins-folder> <menu-glyphs.bmp>: draws the program's seven skins and the system menu's
// glyphs. The skin kept in the skin component is written as that component stores it (a 32-bit
// length, then the archive) to Standard.stream; the six skins of the store as archives, <name>.skn.
// Every archive is read back before it is written. The output is the same on every run.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "SkinPainter.h"
#include "Themes.h"

namespace {

// Writes beside the target and renames, so that a failed run leaves no half file.
void WriteFile(const std::filesystem::path& target, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temp = target;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw ESkinPackError("cannot write " + temp.string());
    }
    std::filesystem::rename(temp, target);
}

std::vector<std::uint8_t> WithLength(const std::vector<std::uint8_t>& archive) {
    std::vector<std::uint8_t> out;
    const auto n = static_cast<std::uint32_t>(archive.size());
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(n >> shift));
    out.insert(out.end(), archive.begin(), archive.end());
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skingen <skins-folder> <menu-glyphs.bmp>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
        const auto& themes = Themes();
        for (std::size_t i = 0; i < themes.size(); ++i) {
            const TTheme& theme = themes[i];
            const auto entries = PaintSkin(theme);
            const auto archive = PackArchive(entries);
            VerifyArchive(archive, entries);
            const bool stored = i == 0;
            const std::filesystem::path target = folder / (theme.Name + (stored ? ".stream" : ".skn"));
            WriteFile(target, stored ? WithLength(archive) : archive);
            std::size_t raw = 0;
            for (const auto& e : entries) raw += e.Data.size();
            std::printf("%s: %zu entries, %zu bytes -> %zu\n", target.string().c_str(), entries.size(), raw,
                        archive.size());
        }
        WriteFile(argv[2], SystemMenuGlyphs().EncodeBmp1(Rgb(0, 0, 0)));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
}
