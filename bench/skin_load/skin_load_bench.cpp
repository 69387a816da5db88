// Skin load benchmark: how long the skin component takes to build the stored skin, the part of
// the main window's start-up that the skin engine adds. Opening the archive (decompression) is
// timed apart from the whole load, which adds reading the ini and the element bitmaps.
#include <bench_clock.h>
#include <skin_archive/ByteStream.h>
#include <skin_archive/SkinRead.h>
#include <skin_data/WinSkinData.h>
#include <skin_forms/WinSkinDlg.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    std::ifstream file(SKINS_DIR "/Standard.stream", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() <= 4) {
        std::printf("skin load: cannot read the stored skin\n");
        return 1;
    }

    std::vector<double> open, whole;
    for (int i = 0; i < rounds; ++i) {
        TByteStream archive;
        archive.Write(bytes.data() + 4, static_cast<std::int64_t>(bytes.size() - 4));
        archive.SetPosition(0);
        TSkinReader reader;
        double start = bench::NowMs();
        if (!reader.OpenArchive(archive)) {
            std::printf("skin load: the stored skin does not open\n");
            return 1;
        }
        open.push_back(bench::NowMs() - start);

        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        TSkinData data(nullptr);
        start = bench::NowMs();
        data.ReadSkinStream(stream);
        whole.push_back(bench::NowMs() - start);
        if (data.SkinNotLoaded()) {
            std::printf("skin load: the stored skin did not build\n");
            return 1;
        }
    }
    FreeSkinManager();
    std::printf("stored skin (%zu bytes), median of %d loads:\n", bytes.size(), rounds);
    std::printf("  open archive        %8.2f ms\n", bench::Median(open));
    std::printf("  whole load          %8.2f ms\n", bench::Median(whole));
    return 0;
}
