#pragma once
// Skin archive writer and the packer that turns a folder of one ini and its bitmaps into a
// skin archive.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

struct TArchiveEntry {
    std::string Name;
    std::vector<std::uint8_t> Data;
};

class ESkinPackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The decompressed image: header, name list, size table and the entries back to back.
std::vector<std::uint8_t> BuildArchiveImage(const std::vector<TArchiveEntry>& entries);
// The stored archive: decompressed size, then the compressed image.
std::vector<std::uint8_t> PackArchive(const std::vector<TArchiveEntry>& entries);
// Reads archive back through the decoder and the archive reader and throws ESkinPackError
// naming the first entry or byte that differs from entries.
void VerifyArchive(const std::vector<std::uint8_t>& archive, const std::vector<TArchiveEntry>& entries);
// The entries of a skin folder: exactly one ini and bitmap files, ini first, then the
// bitmaps in byte order of their names. Throws ESkinPackError on anything else.
std::vector<TArchiveEntry> ReadSkinFolder(const std::filesystem::path& folder);
