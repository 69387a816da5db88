// The log lines a serial-page handler adds, with the line that logs the received reply put where it
// arrives: during the wait, so before the first time-stamped line.
#pragma once

#include <console_core/hex_text.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline std::vector<std::wstring> WithReplyLine(std::vector<std::wstring> lines,
                                               const std::optional<std::vector<std::uint8_t>>& reply) {
    if (!reply) return lines;
    std::wstring hex;
    for (std::uint8_t b : *reply) hex += core::HexByteText(b);
    const auto stamped = std::find_if(lines.begin(), lines.end(),
                                      [](const std::wstring& l) { return l.find(L"{t}") != l.npos; });
    lines.insert(stamped, L"232RX Data..\r" + hex);
    return lines;
}
