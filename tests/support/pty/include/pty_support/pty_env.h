// For a Windows test started by tests/support/pty/pty-run: the COM ports it mapped, the modem-line file
// of the preloaded library, and the far end of the pair opened plainly so that the test can play the
// device there.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace pty_support {

inline std::wstring EnvironmentText(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
}

struct TPtyEnvironment {
    std::wstring Port;      // "COM20": the near end, for the component under test
    std::wstring PeerPort;  // the far end, when pty-run mapped it (--peer-port)
    std::wstring ModemFile; // Windows path of the modem-line file

    static TPtyEnvironment FromEnvironment() {
        return {EnvironmentText(L"PTY_PORT"), EnvironmentText(L"PTY_PEER_PORT"),
                EnvironmentText(L"PTY_MODEM_FILE_WIN")};
    }
    bool Complete() const { return !Port.empty() && !PeerPort.empty() && !ModemFile.empty(); }
    std::wstring DeviceName() const { return L"\\\\.\\" + Port; }

    // Sets the input lines the port reports, e.g. "dcd dsr cts"; lines not named are off. The file is
    // replaced in one step, so that the library never reads it half written.
    bool SetModemLines(const std::string& lines) const {
        const std::wstring next = ModemFile + L".next";
        HANDLE file = CreateFileW(next.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        const BOOL ok = WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == lines.size() && MoveFileExW(next.c_str(), ModemFile.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
};

// The far end as a plain blocking port. Reads return what arrived within their time limit.
class TPtyPeer {
public:
    explicit TPtyPeer(const std::wstring& port) {
        const std::wstring name = L"\\\\.\\" + port;
        handle_ = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) return;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        GetCommState(handle_, &dcb);
        dcb.BaudRate = 9600;
        dcb.ByteSize = 8;
        dcb.fBinary = TRUE;
        SetCommState(handle_, &dcb);
        SetReadLimit(50);
    }
    ~TPtyPeer() {
        if (IsOpen()) CloseHandle(handle_);
    }
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    bool Write(const std::vector<std::uint8_t>& bytes) {
        DWORD done = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
               done == bytes.size();
    }

    // Reads until `count` bytes are in or `milliseconds` pass.
    std::vector<std::uint8_t> Read(std::size_t count, DWORD milliseconds) {
        std::vector<std::uint8_t> got;
        const ULONGLONG end = GetTickCount64() + milliseconds;
        std::uint8_t chunk[4096];
        while (got.size() < count && GetTickCount64() < end) {
            DWORD n = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, count - got.size()));
            if (!ReadFile(handle_, chunk, want, &n, nullptr)) break;
            got.insert(got.end(), chunk, chunk + n);
        }
        return got;
    }

private:
    void SetReadLimit(DWORD milliseconds) {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = MAXDWORD;
        t.ReadTotalTimeoutMultiplier = MAXDWORD;
        t.ReadTotalTimeoutConstant = milliseconds;
        SetCommTimeouts(handle_, &t);
    }
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace pty_support
