// The log lines a serial-page handler adds, with the line that logs the received reply put where it
// arrives: during the wait, so before the first time-stamped line.
#pragma once

#include <console_core/hex_text.h>
#include <framework/forms.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One received line per block, in order, where the reply arrives.
inline std::vector<std::wstring> WithReplyLines(std::vector<std::wstring> lines,
                                                const std::vector<std::vector<std::uint8_t>>& blocks) {
    auto stamped = std::find_if(lines.begin(), lines.end(),
                                [](const std::wstring& l) { return l.find(L"{t}") != l.npos; });
    for (const auto& block : blocks) {
        std::wstring hex;
        for (std::uint8_t b : block) hex += core::HexByteText(b);
        stamped = lines.insert(stamped, L"232RX Data..\r" + hex) + 1;
    }
    return lines;
}

inline std::vector<std::wstring> WithReplyLine(std::vector<std::wstring> lines,
                                               const std::optional<std::vector<std::uint8_t>>& reply) {
    if (!reply) return lines;
    return WithReplyLines(std::move(lines), {*reply});
}

// The port's blocks keep coming while a test waits: the framework's wait ends at its time all the same.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000) {
    return done() || WaitMessagesFor(ms, done);
}
