// skinpack <folder> <out-archive>: packs one skin folder into a skin archive and reads it
// back before writing it.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "skinpack/SkinPack.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinpack <folder> <out-archive>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::filesystem::path target = argv[2];
    try {
        const auto entries = ReadSkinFolder(folder);
        const auto archive = PackArchive(entries);
        VerifyArchive(archive, entries);

        // Write beside the target and rename, so a failed run leaves no half archive.
        std::filesystem::path temp = target;
        temp += ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(archive.data()),
                      static_cast<std::streamsize>(archive.size()));
            out.close();
            if (!out) throw ESkinPackError("cannot write " + temp.string());
        }
        std::filesystem::rename(temp, target);
        std::size_t raw = 0;
        for (const auto& e : entries) raw += e.Data.size();
        std::printf("%s: %zu entries, %zu bytes -> %zu\n", target.string().c_str(), entries.size(), raw,
                    archive.size());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
}
