// Full repaint benchmark: readerconsole's main window repainted whole (frame, client, every child)
// with the skin on and with it off, in alternating rounds of one run so that the machine's load
// falls on both alike.
#include <bench_console.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Repaint(HWND window) {
    const double start = bench::NowMs();
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    bench::PumpUntilIdle();
    return bench::NowMs() - start;
}

// Switches the skin on or off through the skin component and waits for the manager's action.
bool SetSkinned(bool on) {
    Form1->sd1->SetActive(on);
    return bench::PumpUntil([on] {
        return on ? bench::SkinnedMainWindow() != nullptr
                  : SkinManager->FindSkinForm(Form1->Handle()) == nullptr;
    });
}

} // namespace

int main(int argc, char** argv) {
    const int perRound = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    constexpr int rounds = 6;
    if (!bench::ShowSkinnedConsole("repaint")) return 1;
    const HWND window = Form1->Handle();
    std::vector<double> skinned, plain;
    for (int round = 0; round < rounds; ++round) {
        for (bool on : {true, false}) {
            if (!SetSkinned(on)) {
                std::printf("repaint: the skin did not switch %s\n", on ? "on" : "off");
                return 1;
            }
            bench::PumpUntilIdle();
            Repaint(window); // the first one after a switch builds what later ones reuse
            for (int i = 0; i < perRound; ++i) (on ? skinned : plain).push_back(Repaint(window));
        }
    }
    const double s = bench::Median(skinned), p = bench::Median(plain);
    std::printf("full repaint of the main window, median of %d (load %s):\n", rounds * perRound,
                bench::LoadAverage().c_str());
    std::printf("  skinned     %8.2f ms   (p90 %.2f)\n", s, bench::Percentile(skinned, 0.9));
    std::printf("  skin off    %8.2f ms   (p90 %.2f)\n", p, bench::Percentile(plain, 0.9));
    std::printf("  ratio       %8.2f      (target <= 1.30)\n", s / p);
    return 0;
}
