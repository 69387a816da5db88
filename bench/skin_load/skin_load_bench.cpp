// Skin load benchmark: how long the skin component takes to build the stored skin, the part of
// the main window's start-up that the skin engine adds. Opening the archive (decompression) is
// timed apart from the whole load, which adds reading the ini and the element bitmaps.
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

namespace {

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

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
        double start = Now();
        if (!reader.OpenArchive(archive)) {
            std::printf("skin load: the stored skin does not open\n");
            return 1;
        }
        open.push_back(Now() - start);

        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        TSkinData data(nullptr);
        start = Now();
        data.ReadSkinStream(stream);
        whole.push_back(Now() - start);
        if (data.SkinNotLoaded()) {
            std::printf("skin load: the stored skin did not build\n");
            return 1;
        }
    }
    FreeSkinManager();
    std::printf("stored skin (%zu bytes), median of %d loads:\n", bytes.size(), rounds);
    std::printf("  open archive        %8.2f ms\n", Median(open));
    std::printf("  whole load          %8.2f ms\n", Median(whole));
    return 0;
}
