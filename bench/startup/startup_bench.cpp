// Start-up benchmark: time from starting a program to its main window being shown, for readerconsole
// and for a bare Win32 window program (plain, and loading the common controls) measured in the same
// run, in turn.
#include <bench_clock.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Paths come in as Unix paths of the build tree, which Wine shows on drive Z:.
std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

struct FoundWindow {
    DWORD processId;
    const wchar_t* caption;
    HWND window;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundWindow*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != found->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    if (std::wstring(text) != found->caption) return TRUE;
    found->window = window;
    return FALSE;
}

// Milliseconds from CreateProcess to the window shown, or a negative value on failure.
double TimeToWindow(const std::wstring& program, const wchar_t* caption) {
    std::wstring directory = program.substr(0, program.find_last_of(L'\\'));
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = bench::NowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return -1;
    FoundWindow found{process.dwProcessId, caption, nullptr};
    double shown = -1;
    while (bench::NowMs() - start < 30000) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window) {
            shown = bench::NowMs() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (found.window) PostMessageW(found.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const wchar_t* bareCaption = L"Bare window";
    struct Program {
        const char* label;
        std::wstring path;
        const wchar_t* caption;
        std::vector<double> times;
    };
    std::vector<Program> programs{
        {"bare Win32 window", WindowsPath(BARE_WINDOW_EXE), bareCaption, {}},
        {"bare + common controls", WindowsPath(BARE_COMMON_CONTROLS_EXE), bareCaption, {}},
        {"readerconsole", WindowsPath(READERCONSOLE_EXE), L"Format output  card number V2.6", {}},
    };

    // One unmeasured start of each, so that all are measured with warm caches; then in turn, so that
    // the machine's load falls on all alike.
    for (Program& p : programs)
        if (TimeToWindow(p.path, p.caption) < 0) {
            std::printf("start-up: %s did not show its window\n", p.label);
            return 1;
        }
    for (int i = 0; i < rounds; ++i)
        for (Program& p : programs) p.times.push_back(TimeToWindow(p.path, p.caption));
    for (const Program& p : programs)
        if (*std::min_element(p.times.begin(), p.times.end()) < 0) {
            std::printf("start-up: %s did not show its window\n", p.label);
            return 1;
        }

    std::printf("start-up to main window shown, median of %d starts:\n", rounds);
    for (const Program& p : programs) std::printf("  %-24s %8.1f ms\n", p.label, bench::Median(p.times));
    const double bare = bench::Median(programs[0].times), withControls = bench::Median(programs[1].times),
                 console = bench::Median(programs[2].times);
    std::printf("  ratio to bare            %8.2f   (target <= 1.50)\n", console / bare);
    std::printf("  ratio to bare + controls %8.2f\n", console / withControls);
    return 0;
}
