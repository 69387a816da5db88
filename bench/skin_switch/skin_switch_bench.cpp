// Skin switch benchmark: the work of one switch, from the "Stype" menu handler through the skin
// manager's refresh (Reskin) to the window repainted and the thread idle, over the seven skins in
// turn. The action timer's wait in between is the manager's and is not counted: the benchmark runs
// the pending action itself. Memory (committed bytes and working set) before and after.
#include <bench_console.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct TUse {
    double PagefileMb, WorkingSetMb;
};

TUse Use() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0),
            static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0)};
}

} // namespace

int main(int argc, char** argv) {
    const int switches = argc > 1 ? std::max(14, std::atoi(argv[1])) : 400;
    if (!bench::ShowSkinnedConsole("skin switch")) return 1;
    const std::vector<char> stored = bench::StoredSkinStream();
    if (stored.size() <= 4) {
        std::printf("skin switch: cannot read the stored skin\n");
        return 1;
    }
    // The six "Stype" items, then the skin the component carries.
    using THandler = void (TForm1::*)(TObject*);
    const THandler handlers[] = {&TForm1::N11Click, &TForm1::N12Click, &TForm1::N13Click,
                                 &TForm1::N14Click, &TForm1::N51Click, &TForm1::N61Click};
    auto applyStored = [&] {
        TMemoryStream stream;
        stream.WriteBuffer(stored.data(), static_cast<std::int64_t>(stored.size()));
        stream.SetPosition(0);
        Form1->sd1->ReadSkinStream(stream);
        Form1->sd1->ApplySkin();
    };

    std::vector<double> handler, action, repaint, whole;
    TUse before{};
    for (int i = 0; i < switches; ++i) {
        if (i == 14) before = Use(); // after two rounds every skin has been built once
        const int which = i % 7;
        const double t0 = bench::NowMs();
        if (which < 6)
            (Form1->*handlers[which])(Form1);
        else
            applyStored();
        const double t1 = bench::NowMs();
        if (SkinManager->ActionSkinData) SkinManager->TimerAction(nullptr);
        const double t2 = bench::NowMs();
        bench::PumpUntilIdle();
        const double t3 = bench::NowMs();
        if (!bench::SkinnedMainWindow()) {
            std::printf("skin switch: the main window lost its skin\n");
            return 1;
        }
        handler.push_back(t1 - t0);
        action.push_back(t2 - t1);
        repaint.push_back(t3 - t2);
        whole.push_back(t3 - t0);
    }
    const TUse after = Use();
    std::printf("skin switch over the seven skins, median of %d (load %s):\n", switches,
                bench::LoadAverage().c_str());
    std::printf("  handler (load skin)   %8.2f ms\n", bench::Median(handler));
    std::printf("  refresh (Reskin)      %8.2f ms\n", bench::Median(action));
    std::printf("  repaint to idle       %8.2f ms\n", bench::Median(repaint));
    std::printf("  whole switch          %8.2f ms   (p90 %.2f; target <= 80 ms)\n", bench::Median(whole),
                bench::Percentile(whole, 0.9));
    std::printf("memory over switches 14 to %d:\n", switches);
    std::printf("  committed      %8.2f MB -> %8.2f MB\n", before.PagefileMb, after.PagefileMb);
    std::printf("  working set    %8.2f MB -> %8.2f MB\n", before.WorkingSetMb, after.WorkingSetMb);
    return 0;
}
