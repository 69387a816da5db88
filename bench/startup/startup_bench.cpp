// Start-up benchmark: time from starting a program to its main window being shown, for
// readerconsole and for a bare Win32 window program measured in the same run, alternately.
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
    const std::wstring console = WindowsPath(READERCONSOLE_EXE);
    const std::wstring bare = WindowsPath(BARE_WINDOW_EXE);
    const wchar_t* consoleCaption = L"Format output  card number V2.6";
    const wchar_t* bareCaption = L"Bare window";

    // One unmeasured start of each, so both are measured with warm caches.
    if (TimeToWindow(bare, bareCaption) < 0 || TimeToWindow(console, consoleCaption) < 0) {
        std::printf("start-up: a program did not show its window\n");
        return 1;
    }
    std::vector<double> consoleTimes, bareTimes;
    for (int i = 0; i < rounds; ++i) {
        bareTimes.push_back(TimeToWindow(bare, bareCaption));
        consoleTimes.push_back(TimeToWindow(console, consoleCaption));
    }
    if (*std::min_element(bareTimes.begin(), bareTimes.end()) < 0 ||
        *std::min_element(consoleTimes.begin(), consoleTimes.end()) < 0) {
        std::printf("start-up: a program did not show its window\n");
        return 1;
    }
    const double bareMedian = bench::Median(bareTimes), consoleMedian = bench::Median(consoleTimes);
    std::printf("start-up to main window shown, median of %d starts:\n", rounds);
    std::printf("  bare Win32 window  %8.1f ms\n", bareMedian);
    std::printf("  readerconsole      %8.1f ms\n", consoleMedian);
    std::printf("  ratio              %8.2f   (target <= 1.50)\n", consoleMedian / bareMedian);
    return 0;
}
