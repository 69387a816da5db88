// usb.dll: the simulated reader's entry points. All protocol work lives in usb_sim; this
// file only finds the profile and the configuration when the library is first used.
#include <windows.h>

#include <cstring>

#include "sim/simulator.h"

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size, nullptr,
                        nullptr);
    return text;
}

std::optional<std::wstring> Environment(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    DWORD written = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(written);
    return value;
}

std::wstring ProcessFileName() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

usbsim::Profile StartProfile() {
    if (auto chosen = Environment(L"USB_SIM_PROFILE")) {
        if (auto profile = usbsim::ParseProfileName(Utf8(*chosen))) return *profile;
    }
    return usbsim::ProfileForModuleName(Utf8(ProcessFileName()));
}

// Made on the first call rather than in DllMain, so that file access never runs under the
// loader lock.
usbsim::Simulator& Reader() {
    static usbsim::Simulator reader(StartProfile());
    static const bool configured = [] {
        if (auto config = Environment(L"USB_SIM_CONFIG"); config && !config->empty())
            reader.ApplyConfigFile(std::filesystem::path(*config));
        return true;
    }();
    (void)configured;
    return reader;
}

int CopyText(const std::string& text, char* buffer, int size) {
    if (buffer != nullptr && size > 0) {
        std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
    }
    return static_cast<int>(text.size());
}

} // namespace

// Exported undecorated through usb.def (on i686 too, where WINAPI is __stdcall).
extern "C" {

int WINAPI hidWriteData(int device, int length, const unsigned char* bytes) {
    return Reader().Write(device, length, bytes);
}

int WINAPI hidReadData(int device, int length, unsigned char* buffer) {
    return Reader().Read(device, length, buffer);
}

int WINAPI usbControl(const char* line) {
    if (line == nullptr) return usbsim::kControlBadArgument;
    return Reader().Control(line);
}

int WINAPI usbLastFrame(char* buffer, int size) {
    return CopyText(Reader().LastFrameHex(), buffer, size);
}

int WINAPI usbLastReply(char* buffer, int size) {
    return CopyText(Reader().LastReplyHex(), buffer, size);
}

int WINAPI usbFrameCount() {
    return Reader().FrameCount();
}

} // extern "C"
