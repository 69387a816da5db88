// Code page 936 is only reachable through the Windows API, so this part builds for Windows only.
#include "console_core/hex_text.h"

#include <windows.h>

namespace core {

std::optional<std::wstring> DecodeCodePage936(std::string_view bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (count <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(count), L'\0');
    if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), count) != count)
        return std::nullopt;
    return text;
}

std::optional<std::wstring> Getchr(std::wstring_view hex) {
    return Getchr(hex, DecodeCodePage936);
}

} // namespace core
