// readerconsole's main window run in the benchmark's own process, and the waits the benchmarks
// share: until the skin manager has skinned it, until the thread has nothing left to do.
#pragma once

#include "Unit1.h"

#include <bench_clock.h>
#include <skin_data/WinSkinData.h>
#include <skin_forms/WinSkinDlg.h>
#include <skin_forms/WinSkinForm.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bench {

// The machine's load average as "1.23 2.34 3.45" (Wine shows the host's /proc on drive Z:).
inline std::string LoadAverage() {
    std::ifstream file("Z:\\proc\\loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one.empty() ? std::string("unknown") : one + " " + five + " " + fifteen;
}

// Handles messages until the queue stays empty (no paint, no posted message) or ceilingMs pass.
inline void PumpUntilIdle(double ceilingMs = 5000) {
    const double start = NowMs();
    while (NowMs() - start < ceilingMs) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (GetQueueStatus(QS_ALLINPUT) == 0) return;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Handles messages until done() or ceilingMs pass; true when done.
template <class Done> bool PumpUntil(Done done, double ceilingMs = 10000) {
    const double start = NowMs();
    while (!done()) {
        if (NowMs() - start > ceilingMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Application->ProcessMessages();
    }
    return true;
}

// The main window's skinner once it is fully skinned, else nullptr.
inline TWinSkinForm* SkinnedMainWindow() {
    if (!SkinManager || !Form1 || !Form1->HandleAllocated()) return nullptr;
    TWinSkinForm* skinner = SkinManager->FindSkinForm(Form1->Handle());
    return skinner && skinner->State == fsSkinned ? skinner : nullptr;
}

// Makes and shows readerconsole's main window with its clock stopped (so that nothing but the
// benchmark paints) and waits until it is skinned; false with a message when that fails.
inline bool ShowSkinnedConsole(const char* benchName) {
    try {
        Application->Initialize();
        Form1 = Application->CreateForm<TForm1>();
        Form1->Timer1->SetEnabled(false);
        Form1->Show();
    } catch (const Exception& e) {
        std::printf("%s: the main window did not load: %s\n", benchName, e.what());
        return false;
    }
    SetForegroundWindow(Form1->Handle());
    if (!PumpUntil([] { return SkinnedMainWindow() != nullptr; })) {
        std::printf("%s: the main window was not skinned\n", benchName);
        return false;
    }
    PumpUntilIdle();
    return true;
}

// The stored skin of the skin component, as its form property holds it (length, then archive).
inline std::vector<char> StoredSkinStream() {
    std::ifstream file(SKINS_DIR "/Standard.stream", std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace bench
