#include "skin_archive/SkinRead.h"

#include <cstring>

#include "skin_archive/WinConvert.h"

namespace {

std::int32_t ReadInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Lines end at CR, LF or CR LF; an empty last line does not count.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        lines.emplace_back(text, start, i - start);
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
    return lines;
}

} // namespace

void TSkinReader::Decompress(TByteStream& input, TByteStream& output) {
    input.SetPosition(0);
    output.Clear();
    std::uint8_t sizeBytes[4] = {};
    if (input.Read(sizeBytes, 4) < 4) return;
    const std::int32_t size = ReadInt32(sizeBytes);
    if (size <= 0) return;
    // Each input byte yields at most 48 output bytes, so a declared size beyond that is
    // not reserved for up front.
    const std::int64_t bound = (input.Size() - 4 + Lzh::OverrunLimit) * 48 + Lzh::F;
    output.Reserve(size < bound ? size : bound);
    TLZH lzh;
    lzh.InputStream = &input;
    lzh.OutputStream = &output;
    lzh.DecodeStreams(size);
}

bool TSkinReader::OpenArchive(TByteStream& stream) {
    TByteStream image;
    Decompress(stream, image);
    const std::uint8_t* p = image.Data();
    const std::int64_t size = image.Size();
    if (size < HeaderSize) return false;

    std::array<std::int32_t, 4> header;
    for (int i = 0; i < 4; ++i) header[i] = ReadInt32(p + 4 * i);
    if (header[0] != ArchiveVersion) {
        if (OnMessage) OnMessage(OlderSkinMessage);
        return false;
    }

    // A directory that does not fit the image is refused whole.
    const std::int64_t nameLength = header[1];
    if (nameLength < 0 || HeaderSize + nameLength > size) return false;
    const std::string nameText(reinterpret_cast<const char*>(p + HeaderSize),
                               static_cast<std::size_t>(nameLength));
    std::vector<std::string> names = SplitLines(LowerCase(nameText));
    const std::int64_t count = static_cast<std::int64_t>(names.size());
    if (count > MaxEntries) return false;
    const std::int64_t dataStart = HeaderSize + nameLength + 4 * count;
    if (dataStart > size) return false;

    std::array<std::int32_t, MaxEntries> sizes{};
    std::int64_t total = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        sizes[i] = ReadInt32(p + HeaderSize + nameLength + 4 * i);
        if (sizes[i] < 0) return false;
        total += sizes[i];
    }
    if (total > size - dataStart) return false;

    FHeader = header;
    FNames = std::move(names);
    FCount = static_cast<int>(count);
    FSizes = sizes;
    FData.Clear();
    FData.Write(p + dataStart, size - dataStart);
    FData.SetPosition(0);
    return true;
}

void TSkinReader::CopyEntry(int index, std::int64_t offset, TByteStream& out) const {
    out.Write(FData.Data() + offset, FSizes[index]);
    out.SetPosition(0);
}

void TSkinReader::GetEntry(const std::string& name, TByteStream& out) const {
    out.Clear();
    const std::string wanted = LowerCase(name);
    std::int64_t offset = 0;
    for (int i = 0; i < FCount; ++i) {
        if (FNames[i] == wanted) {
            CopyEntry(i, offset, out);
            return;
        }
        offset += FSizes[i];
    }
}

bool TSkinReader::FindEntry(const std::string& text, TByteStream& out, std::string& name) const {
    out.Clear();
    if (text.empty()) return false;
    std::int64_t offset = 0;
    for (int i = 0; i < FCount; ++i) {
        if (FNames[i].find(text) != std::string::npos) {
            CopyEntry(i, offset, out);
            name = FNames[i];
            return true;
        }
        offset += FSizes[i];
    }
    return false;
}
