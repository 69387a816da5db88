#pragma once
// Skin archive reader: decompresses an archive into memory, keeps its directory and hands
// out entries by name. Names are byte strings in the skin's own code page.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin_archive/ByteStream.h"

class TSkinReader {
public:
    static constexpr std::int32_t ArchiveVersion = 20000;
    static constexpr int MaxEntries = 1001;
    static constexpr int HeaderSize = 16;
    static constexpr const char* OlderSkinMessage = "This is Older Skin File\rPlease update to new version !";

    // Shows OlderSkinMessage; the skin component supplies a message box.
    std::function<void(const std::string& text)> OnMessage;

    // Reads the archive held in stream (from position 0). True when the directory was built;
    // on False the previous directory stays. Decoding failures raise ElzhException.
    bool OpenArchive(TByteStream& stream);
    // Reads the 32-bit decompressed size at the start of input and decodes that many bytes
    // into output, which is emptied first.
    void Decompress(TByteStream& input, TByteStream& output);
    // The first entry named name (compared in lower case); out is left empty when none is.
    void GetEntry(const std::string& name, TByteStream& out) const;
    // The first entry whose name contains text; name is set to the entry's name. With no
    // match out is empty, name unchanged and the result false.
    bool FindEntry(const std::string& text, TByteStream& out, std::string& name) const;

    int Count() const { return FCount; }
    const std::vector<std::string>& Names() const { return FNames; }

private:
    void CopyEntry(int index, std::int64_t offset, TByteStream& out) const;

    std::vector<std::string> FNames;
    int FCount = 0;
    std::array<std::int32_t, MaxEntries> FSizes{};
    TByteStream FData;
    std::array<std::int32_t, 4> FHeader{};
};
