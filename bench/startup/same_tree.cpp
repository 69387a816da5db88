// The floor of the start-up benchmark: a plain Win32 program (no framework, no skin) that makes the
// window tree described in the file named on its command line, as the benchmark read it from a
// running console (classes, styles, places, texts), with the fonts the consoles give their
// controls, shows it and paints it. Classes the system does not know (the framework's own) get a
// plain window procedure.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && !GetParent(window)) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

struct TNode {
    int Parent = -1;
    std::wstring ClassName, Text;
    DWORD Style = 0, ExStyle = 0;
    int X = 0, Y = 0, W = 0, H = 0;
};

// One window a line: parent index, class, style, extended style, x, y, width, height, then the text
// to the line's end (tab-separated, numbers in decimal).
std::vector<TNode> ReadTree(const wchar_t* path) {
    std::vector<TNode> nodes;
    FILE* file = _wfopen(path, L"rb");
    if (!file) return nodes;
    std::string bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, n);
    std::fclose(file);
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        std::vector<std::wstring> fields;
        std::size_t start = 0;
        for (int i = 0; i < 8; ++i) {
            const std::size_t tab = line.find(L'\t', start);
            if (tab == std::wstring::npos) break;
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() != 8) continue;
        TNode node;
        node.Parent = std::stoi(fields[0]);
        node.ClassName = fields[1];
        node.Style = static_cast<DWORD>(std::stoul(fields[2]));
        node.ExStyle = static_cast<DWORD>(std::stoul(fields[3]));
        node.X = std::stoi(fields[4]);
        node.Y = std::stoi(fields[5]);
        node.W = std::stoi(fields[6]);
        node.H = std::stoi(fields[7]);
        node.Text = line.substr(start);
        if (!node.Text.empty() && node.Text.back() == L'\r') node.Text.pop_back();
        nodes.push_back(node);
    }
    return nodes;
}

bool IsRichEdit(const std::wstring& name) {
    return name.rfind(L"RichEdit", 0) == 0 || name.rfind(L"RICHEDIT", 0) == 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    std::wstring path = commandLine;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        path = path.substr(1, path.size() - 2);
    const std::vector<TNode> nodes = ReadTree(path.c_str());
    if (nodes.empty()) return 1;

    LOGFONTW face{};
    face.lfHeight = -11;
    std::wcscpy(face.lfFaceName, L"MS Sans Serif");
    const HFONT font = CreateFontIndirectW(&face);
    face.lfHeight = -13;
    face.lfCharSet = GB2312_CHARSET;
    const HFONT logFont = CreateFontIndirectW(&face);

    std::vector<HWND> windows;
    for (const TNode& node : nodes) {
        WNDCLASSEXW known{};
        known.cbSize = sizeof known;
        if (!GetClassInfoExW(nullptr, node.ClassName.c_str(), &known) &&
            !GetClassInfoExW(instance, node.ClassName.c_str(), &known)) {
            WNDCLASSEXW plain{};
            plain.cbSize = sizeof plain;
            plain.lpfnWndProc = PlainWindowProc;
            plain.hInstance = instance;
            plain.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
            plain.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            plain.lpszClassName = node.ClassName.c_str();
            RegisterClassExW(&plain);
        }
        const HWND parent = node.Parent >= 0 && node.Parent < static_cast<int>(windows.size())
                                ? windows[static_cast<std::size_t>(node.Parent)]
                                : nullptr;
        const DWORD style = parent ? node.Style : (node.Style & ~WS_VISIBLE);
        const HWND window =
            CreateWindowExW(node.ExStyle, node.ClassName.c_str(), node.Text.c_str(), style, node.X, node.Y,
                            node.W, node.H, parent, nullptr, instance, nullptr);
        if (window && parent)
            SendMessageW(window, WM_SETFONT,
                         reinterpret_cast<WPARAM>(IsRichEdit(node.ClassName) ? logFont : font), FALSE);
        windows.push_back(window);
    }
    if (!windows[0]) return 1;
    ShowWindow(windows[0], show);
    UpdateWindow(windows[0]);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    DeleteObject(logFont);
    return 0;
}
