#include "skinpack/SkinPack.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinConvert.h"
#include "skinpack/LzhEncoder.h"

namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::int64_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ESkinPackError("cannot read " + path.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ESkinPackError("cannot read " + path.string());
    return bytes;
}

} // namespace

std::vector<std::uint8_t> BuildArchiveImage(const std::vector<TArchiveEntry>& entries) {
    if (entries.size() > static_cast<std::size_t>(TSkinReader::MaxEntries))
        throw ESkinPackError("more than " + std::to_string(TSkinReader::MaxEntries) + " entries");
    std::string names;
    std::set<std::string> seen;
    for (const auto& entry : entries) {
        if (entry.Name.empty() || entry.Name.find_first_of("\r\n") != std::string::npos)
            throw ESkinPackError("unusable entry name '" + entry.Name + "'");
        // The reader compares names in lower case and finds only the first of equal ones.
        if (!seen.insert(LowerAscii(entry.Name)).second)
            throw ESkinPackError("entry name '" + entry.Name + "' occurs twice");
        if (entry.Data.size() > 0x7FFFFFFFu) throw ESkinPackError("entry '" + entry.Name + "' is too large");
        names += entry.Name + "\r\n";
    }
    std::vector<std::uint8_t> image;
    PutInt32(image, TSkinReader::ArchiveVersion);
    PutInt32(image, static_cast<std::int64_t>(names.size()));
    PutInt32(image, 0);
    PutInt32(image, 0);
    image.insert(image.end(), names.begin(), names.end());
    for (const auto& entry : entries) PutInt32(image, static_cast<std::int64_t>(entry.Data.size()));
    for (const auto& entry : entries) image.insert(image.end(), entry.Data.begin(), entry.Data.end());
    if (image.size() > 0x7FFFFFFFu) throw ESkinPackError("archive is too large");
    return image;
}

std::vector<std::uint8_t> PackArchive(const std::vector<TArchiveEntry>& entries) {
    const std::vector<std::uint8_t> image = BuildArchiveImage(entries);
    std::vector<std::uint8_t> archive;
    PutInt32(archive, static_cast<std::int64_t>(image.size()));
    const std::vector<std::uint8_t> stream = LzhEncode(image);
    archive.insert(archive.end(), stream.begin(), stream.end());
    return archive;
}

void VerifyArchive(const std::vector<std::uint8_t>& archive, const std::vector<TArchiveEntry>& entries) {
    TByteStream input{std::span<const std::uint8_t>(archive)};
    TByteStream image;
    TSkinReader reader;
    try {
        reader.Decompress(input, image);
    } catch (const ElzhException& e) {
        throw ESkinPackError(std::string("read-back failed: ") + e.what());
    }
    const std::vector<std::uint8_t> expected = BuildArchiveImage(entries);
    const auto bytes = image.Bytes();
    const auto mismatch = std::mismatch(bytes.begin(), bytes.end(), expected.begin(), expected.end());
    if (mismatch.first != bytes.end() || mismatch.second != expected.end())
        throw ESkinPackError("read-back differs from the image at byte " +
                             std::to_string(mismatch.first - bytes.begin()));

    std::string message;
    reader.OnMessage = [&message](const std::string& text) { message = text; };
    if (!reader.OpenArchive(input)) throw ESkinPackError("read-back refused the archive " + message);
    if (reader.Count() != static_cast<int>(entries.size()))
        throw ESkinPackError("read-back lists a different count");
    for (const auto& entry : entries) {
        TByteStream out;
        reader.GetEntry(entry.Name, out);
        const auto got = out.Bytes();
        if (!std::equal(got.begin(), got.end(), entry.Data.begin(), entry.Data.end()))
            throw ESkinPackError("read-back of entry '" + entry.Name + "' differs");
    }
}

std::vector<TArchiveEntry> ReadSkinFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        throw ESkinPackError(folder.string() + " is not a folder");
    std::vector<std::string> inis, bitmaps;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (!item.is_regular_file()) throw ESkinPackError("unexpected item " + name);
        const std::string lower = LowerAscii(name);
        if (lower.find(".ini") != std::string::npos)
            inis.push_back(name);
        else if (EndsWith(lower, ".bmp"))
            bitmaps.push_back(name);
        else
            throw ESkinPackError("unexpected file " + name +
                                 " (only one ini and .bmp files belong in a skin)");
    }
    if (inis.size() != 1)
        throw ESkinPackError("a skin folder holds exactly one ini, found " + std::to_string(inis.size()));
    std::sort(bitmaps.begin(), bitmaps.end());

    std::vector<TArchiveEntry> entries;
    entries.push_back({inis[0], ReadFile(folder / inis[0])});
    for (const auto& name : bitmaps) {
        TArchiveEntry entry{name, ReadFile(folder / name)};
        if (entry.Data.size() < 2 || entry.Data[0] != 'B' || entry.Data[1] != 'M')
            throw ESkinPackError(name + " is not a bitmap file");
        entries.push_back(std::move(entry));
    }
    return entries;
}
