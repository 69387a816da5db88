// Start-up benchmark, measured from outside as the user sees it: from process creation to the main
// window shown, and to the main window fully painted (no window of its tree with anything left to
// paint, skinned where the program skins) with the program idle (its thread answering and nothing
// repainted for a quiet spell). Against two floors in the same run: a bare Win32 window, and a plain
// Win32 program that makes the same window tree as the console (read from the console itself) and
// paints it. The programs start in turn, so that the machine's load falls on all alike.
#include <bench_clock.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr UINT SkinIsSkinned = 0x3504; // answered 1 by a window the skin engine subclasses
constexpr double QuietMs = 200;        // nothing to paint for this long: the program is idle

// Paths come in as Unix paths of the build tree, which Wine shows on drive Z:.
std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p) path += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

struct TFound {
    DWORD ProcessId;
    HWND Window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<TFound*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != found->ProcessId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    found->Window = window;
    return FALSE;
}

// Every window of the tree, parents before their children.
void CollectTree(HWND window, std::vector<HWND>& tree) {
    tree.push_back(window);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        CollectTree(child, tree);
}

bool Painted(HWND top, bool skinned) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) return false;
    if (skinned &&
        (!SendMessageTimeoutW(top, SkinIsSkinned, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) || answer != 1))
        return false;
    std::vector<HWND> tree;
    CollectTree(top, tree);
    for (HWND window : tree)
        if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) return false;
    return true;
}

struct TStart {
    double Shown = -1, Idle = -1;
};

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

// Writes the window tree in the form the same-tree program reads.
bool SaveTree(HWND top, const std::wstring& path) {
    std::vector<HWND> tree;
    CollectTree(top, tree);
    std::ofstream file(path.c_str(), std::ios::binary);
    for (HWND window : tree) {
        const HWND parent = window == top ? nullptr : GetParent(window);
        const auto at = std::find(tree.begin(), tree.end(), parent);
        const int parentIndex = parent && at != tree.end() ? static_cast<int>(at - tree.begin()) : -1;
        wchar_t name[256] = {}, text[256] = {};
        GetClassNameW(window, name, 256);
        GetWindowTextW(window, text, 256);
        for (wchar_t* c = text; *c; ++c)
            if (*c == L'\t' || *c == L'\r' || *c == L'\n') *c = L' ';
        RECT r{};
        GetWindowRect(window, &r);
        if (parent) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
        file << parentIndex << '\t' << Utf8(name) << '\t'
             << static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) << '\t'
             << static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)) << '\t' << r.left << '\t' << r.top
             << '\t' << (r.right - r.left) << '\t' << (r.bottom - r.top) << '\t' << Utf8(text) << '\n';
    }
    return static_cast<bool>(file) && tree.size() > 1;
}

// One start: times from CreateProcess to the main window shown and to painted idle (negative on
// failure); the tree is saved to savePath when one is given.
TStart Start(const std::wstring& program, const std::wstring& arguments, bool skinned,
             const std::wstring& savePath = {}) {
    std::wstring directory = program.substr(0, program.find_last_of(L'\\'));
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    TStart result;
    const double start = bench::NowMs();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return result;
    TFound found{process.dwProcessId, nullptr};
    double quietSince = -1;
    while (bench::NowMs() - start < 30000) {
        if (!found.Window) {
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
            if (found.Window) result.Shown = bench::NowMs() - start;
        }
        if (found.Window) {
            // Read after the answer: asking waits for the program, which may still be painting.
            const bool painted = Painted(found.Window, skinned);
            const double now = bench::NowMs();
            if (!painted)
                quietSince = -1;
            else if (quietSince < 0)
                quietSince = now;
            else if (now - quietSince >= QuietMs) {
                result.Idle = quietSince - start;
                break;
            }
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (found.Window && !savePath.empty() && !SaveTree(found.Window, savePath)) result.Idle = -1;
    if (found.Window) PostMessageW(found.Window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

struct TProgram {
    const char* Label;
    std::wstring Path, Arguments;
    bool Skinned;
    std::vector<double> Shown, Idle;
};

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring readerTree = std::wstring(temp) + L"startup-readerconsole-tree.txt";
    const std::wstring tagTree = std::wstring(temp) + L"startup-tagconsole-tree.txt";
    const std::wstring sameTree = WindowsPath(SAME_TREE_EXE);
    std::vector<TProgram> programs{
        {"bare Win32 window", WindowsPath(BARE_WINDOW_EXE), L"", false, {}, {}},
        {"readerconsole's tree", sameTree, L"\"" + readerTree + L"\"", false, {}, {}},
        {"readerconsole", WindowsPath(READERCONSOLE_EXE), L"", true, {}, {}},
        {"tagconsole's tree", sameTree, L"\"" + tagTree + L"\"", false, {}, {}},
        {"tagconsole", WindowsPath(TAGCONSOLE_EXE), L"", true, {}, {}},
    };

    // One unmeasured start of each console, which also reads its tree for the floor; then one of each
    // floor, so that all are measured with warm caches.
    if (Start(programs[2].Path, L"", true, readerTree).Idle < 0 ||
        Start(programs[4].Path, L"", true, tagTree).Idle < 0) {
        std::printf("start-up: a console did not come to painted idle\n");
        return 1;
    }
    for (TProgram& p : programs)
        if (Start(p.Path, p.Arguments, p.Skinned).Idle < 0) {
            std::printf("start-up: %s did not come to painted idle\n", p.Label);
            return 1;
        }
    for (int i = 0; i < rounds; ++i)
        for (TProgram& p : programs) {
            const TStart s = Start(p.Path, p.Arguments, p.Skinned);
            if (s.Idle < 0) {
                std::printf("start-up: %s did not come to painted idle\n", p.Label);
                return 1;
            }
            p.Shown.push_back(s.Shown);
            p.Idle.push_back(s.Idle);
        }
    char load[64] = "unknown";
    if (FILE* f = std::fopen("Z:\\proc\\loadavg", "r")) {
        if (!std::fgets(load, sizeof load, f)) std::snprintf(load, sizeof load, "unknown");
        std::fclose(f);
        load[std::strcspn(load, "\n")] = 0;
    }
    std::printf("start-up from process creation, median of %d starts (load %s):\n", rounds, load);
    std::printf("  %-22s %10s %16s\n", "", "shown", "painted idle");
    for (const TProgram& p : programs)
        std::printf("  %-22s %7.1f ms %13.1f ms\n", p.Label, bench::Median(p.Shown), bench::Median(p.Idle));
    const auto idle = [&](int i) { return bench::Median(programs[static_cast<std::size_t>(i)].Idle); };
    std::printf("  readerconsole / its tree  %6.2f   (target <= 1.30)\n", idle(2) / idle(1));
    std::printf("  tagconsole / its tree     %6.2f   (target <= 1.30)\n", idle(4) / idle(3));
    std::printf("  readerconsole / bare      %6.2f\n", idle(2) / idle(0));
    return 0;
}
