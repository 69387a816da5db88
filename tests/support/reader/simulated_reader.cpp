#include "simulated_reader.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

template <class F> F Export(HMODULE library, const char* name) {
    return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

} // namespace

SimulatedReader& SimulatedReader::Instance() {
    static SimulatedReader reader;
    return reader;
}

SimulatedReader::SimulatedReader()
    : library_(LoadLibraryW(L"usb.dll")), control_(Export<int (*)(const char*)>(library_, "usbControl")),
      lastFrame_(Export<int (*)(char*, int)>(library_, "usbLastFrame")),
      frameCount_(Export<int (*)()>(library_, "usbFrameCount")) {}

void SimulatedReader::Control(const char* line) {
    ASSERT_NE(control_, nullptr) << "usb.dll or its control function is missing";
    ASSERT_EQ(control_(line), 0) << "control line refused: " << line;
}

std::string SimulatedReader::LastFrame() {
    if (!lastFrame_) return {};
    char text[1024] = {};
    lastFrame_(text, sizeof text);
    return text;
}

int SimulatedReader::FrameCount() {
    return frameCount_ ? frameCount_() : -1;
}

std::wstring NormalisedLog(std::wstring text) {
    static const std::wregex stamp(L"(0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9] (AM|PM)");
    text = std::regex_replace(text, std::wregex(L"\r\n|\r"), L"\n");
    text = std::regex_replace(text, stamp, L"{t}");
    while (!text.empty() && text.back() == L'\n') text.pop_back();
    return text;
}

std::wstring JoinedLog(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return NormalisedLog(text);
}
