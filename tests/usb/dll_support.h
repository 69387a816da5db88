// Loads usb.dll from beside the test and binds its exports, as a console does.
#pragma once

#include <windows.h>

#include <string>

namespace usbdll {

using WriteData = int(WINAPI*)(int, int, const unsigned char*);
using ReadData = int(WINAPI*)(int, int, unsigned char*);
using Control = int(WINAPI*)(const char*);
using TextQuery = int(WINAPI*)(char*, int);
using Count = int(WINAPI*)();

struct Library {
    HMODULE module = nullptr;
    WriteData write = nullptr;
    ReadData read = nullptr;
    Control control = nullptr;
    TextQuery lastFrame = nullptr;
    TextQuery lastReply = nullptr;
    Count frameCount = nullptr;

    bool Load() {
        module = LoadLibraryW(L"usb.dll");
        if (module == nullptr) return false;
        write = reinterpret_cast<WriteData>(reinterpret_cast<void*>(GetProcAddress(module, "hidWriteData")));
        read = reinterpret_cast<ReadData>(reinterpret_cast<void*>(GetProcAddress(module, "hidReadData")));
        control = reinterpret_cast<Control>(reinterpret_cast<void*>(GetProcAddress(module, "usbControl")));
        lastFrame =
            reinterpret_cast<TextQuery>(reinterpret_cast<void*>(GetProcAddress(module, "usbLastFrame")));
        lastReply =
            reinterpret_cast<TextQuery>(reinterpret_cast<void*>(GetProcAddress(module, "usbLastReply")));
        frameCount =
            reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(module, "usbFrameCount")));
        return write && read && control && lastFrame && lastReply && frameCount;
    }

    // One write and one 245-byte read, the reply as upper-case hex ("" when none).
    std::string Exchange(const std::string& frameHex) {
        std::string bytes;
        for (std::size_t i = 0; i + 1 < frameHex.size(); i += 2)
            bytes.push_back(static_cast<char>(std::stoi(frameHex.substr(i, 2), nullptr, 16)));
        int written =
            write(0, static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()));
        if (written != static_cast<int>(bytes.size())) return "short";
        unsigned char buffer[257] = {};
        int count = read(0, 245, buffer);
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        for (int i = 0; i < count; ++i) {
            hex.push_back(digits[buffer[i] >> 4]);
            hex.push_back(digits[buffer[i] & 15]);
        }
        return hex;
    }
};

} // namespace usbdll
