// TComm over a pty: received-byte throughput next to a plain read loop on the same port, the delay
// from the last byte of a burst to OnReceiveData, and the CPU an open idle port costs.
// Run through pty-run with --peer-port (the far end plays the device); see CMakeLists.txt.
#include <bench_clock.h>
#include <serial/comm.h>

#include <pty_support/pty_env.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Seconds on the performance counter.
double Seconds() {
    return bench::NowMs() / 1000.0;
}

using Bytes = std::vector<std::uint8_t>;
using pty_support::TPtyEnvironment;

void Pump(
    double seconds, const std::function<bool()>& done = [] { return false; }) {
    const double end = Seconds() + seconds;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (done()) return;
        const double left = end - Seconds();
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT);
    }
}

Bytes Pattern(std::size_t n) {
    Bytes b(n);
    std::uint32_t x = 12345;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(x >> 16);
    }
    return b;
}

// The device side: a plain blocking port on the far end.
HANDLE OpenPlain(const std::wstring& port, DWORD flags) {
    const std::wstring name = L"\\\\.\\" + port;
    HANDLE h =
        CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.fBinary = TRUE;
    dcb.fOutX = dcb.fInX = FALSE;
    SetCommState(h, &dcb);
    COMMTIMEOUTS t{100, 0, 0, 0, 0};
    SetCommTimeouts(h, &t);
    return h;
}

void Drain(HANDLE peer) {
    COMMTIMEOUTS quick{MAXDWORD, 0, 0, 0, 0};
    SetCommTimeouts(peer, &quick);
    std::uint8_t buf[4096];
    DWORD n = 0;
    while (ReadFile(peer, buf, sizeof buf, &n, nullptr) && n > 0) {
    }
    COMMTIMEOUTS t{100, 0, 0, 0, 0};
    SetCommTimeouts(peer, &t);
}

void SendAll(HANDLE peer, const Bytes& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(4096, data.size() - done));
        if (!WriteFile(peer, data.data() + done, chunk, &n, nullptr) || n == 0) break;
        done += n;
    }
}

void ApplyFormSettings(TComm& comm) {
    comm.SetParityCheck(true);
    comm.SetTxContinueOnXoff(false);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
}

// Bytes per second from the start of sending to the last byte in; `ok` when every byte came in order.
// The blocking loop is the cheapest way to read a port. The overlapped loop reads as the component must
// (the port opened for overlapped I/O, 2048 bytes a read) and does nothing else.
double PlainReadLoop(const TPtyEnvironment& env, HANDLE peer, const Bytes& data, bool overlapped, bool& ok) {
    HANDLE port = OpenPlain(env.Port, overlapped ? FILE_FLAG_OVERLAPPED : 0);
    if (port == INVALID_HANDLE_VALUE) {
        ok = false;
        return 0;
    }
    PurgeComm(port, PURGE_RXCLEAR);
    OVERLAPPED read{};
    read.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    Bytes got;
    got.reserve(data.size());
    const double start = Seconds();
    std::thread sender([&] { SendAll(peer, data); });
    std::uint8_t buffer[2048];
    while (got.size() < data.size() && Seconds() - start < 60) {
        DWORD n = 0;
        if (!ReadFile(port, buffer, sizeof buffer, &n, overlapped ? &read : nullptr)) {
            if (!overlapped || GetLastError() != ERROR_IO_PENDING) break;
            WaitForSingleObject(read.hEvent, INFINITE);
            if (!GetOverlappedResult(port, &read, &n, FALSE) && GetLastError() != ERROR_TIMEOUT) break;
        }
        got.insert(got.end(), buffer, buffer + n);
    }
    const double elapsed = Seconds() - start;
    sender.join();
    CloseHandle(port);
    CloseHandle(read.hEvent);
    ok = got == data;
    return static_cast<double>(got.size()) / elapsed;
}

double ThroughComm(const TPtyEnvironment& env, HANDLE peer, const Bytes& data, bool& ok) {
    TComm comm(nullptr);
    comm.SetCommName(env.DeviceName());
    ApplyFormSettings(comm);
    Bytes got;
    got.reserve(data.size());
    int empties = 0;
    comm.OnReceiveData = [&](TObject*, void* b, std::uint16_t n) {
        const auto* p = static_cast<const std::uint8_t*>(b);
        got.insert(got.end(), p, p + n);
    };
    comm.OnSendDataEmpty = [&](TObject*) { ++empties; };
    comm.OpenPort();
    Pump(2, [&] { return empties > 0; });
    const double start = Seconds();
    std::thread sender([&] { SendAll(peer, data); });
    Pump(60, [&] { return got.size() >= data.size(); });
    const double elapsed = Seconds() - start;
    sender.join();
    comm.ClosePort();
    ok = got == data;
    return static_cast<double>(got.size()) / elapsed;
}

void Throughput(const TPtyEnvironment& env, HANDLE peer, std::size_t bytes, int rounds) {
    const Bytes data = Pattern(bytes);
    // The machine's load changes from one round to the next; each round runs the three readers one
    // after the other, so the ratios are taken within a round.
    std::vector<double> comm, toOverlapped, toBlocking;
    bool allOk = true;
    for (int i = 0; i < rounds; ++i) {
        bool ok = false;
        Drain(peer);
        const double blocking = PlainReadLoop(env, peer, data, false, ok);
        allOk = allOk && ok;
        Drain(peer);
        const double overlapped = PlainReadLoop(env, peer, data, true, ok);
        allOk = allOk && ok;
        Drain(peer);
        comm.push_back(ThroughComm(env, peer, data, ok));
        allOk = allOk && ok;
        toOverlapped.push_back(overlapped > 0 ? comm.back() / overlapped : 0);
        toBlocking.push_back(blocking > 0 ? comm.back() / blocking : 0);
        std::printf(
            "  round %d: blocking read loop %8.1f KiB/s, overlapped read loop %8.1f KiB/s, TComm %8.1f KiB/s"
            " (%.2f, %.2f)\n",
            i + 1, blocking / 1024, overlapped / 1024, comm.back() / 1024, toOverlapped.back(),
            toBlocking.back());
    }
    std::printf(
        "throughput (%zu bytes, medians of %d rounds): TComm %.1f KiB/s = %.2f of the overlapped read loop "
        "(target >= 0.80), %.2f of the blocking read loop; every byte in order: %s\n",
        bytes, rounds, bench::Median(comm) / 1024, bench::Median(toOverlapped), bench::Median(toBlocking),
        allOk ? "yes" : "NO");
}

void BurstDelay(const TPtyEnvironment& env, HANDLE peer, int bursts) {
    TComm comm(nullptr);
    comm.SetCommName(env.DeviceName());
    ApplyFormSettings(comm);
    double arrived = 0;
    std::size_t lastLength = 0;
    comm.OnReceiveData = [&](TObject*, void*, std::uint16_t n) {
        arrived = Seconds();
        lastLength = n;
    };
    comm.OpenPort();
    Pump(1);
    std::vector<double> delays;
    int whole = 0;
    const Bytes burst = Pattern(10);
    for (int i = 0; i < bursts; ++i) {
        arrived = 0;
        DWORD n = 0;
        WriteFile(peer, burst.data(), 10, &n, nullptr);
        const double sent = Seconds();
        Pump(2, [&] { return arrived != 0; });
        if (arrived != 0) delays.push_back((arrived - sent) * 1000);
        if (lastLength == 10) ++whole;
        Pump(0.2);
    }
    comm.ClosePort();
    std::sort(delays.begin(), delays.end());
    if (delays.empty()) {
        std::printf("burst delay: no burst arrived\n");
        return;
    }
    std::printf(
        "burst delay (last byte sent to OnReceiveData, %zu bursts of 10 bytes, ReadIntervalTimeout 100 ms): "
        "min %.1f ms, median %.1f ms, 90th percentile %.1f ms, max %.1f ms (target <= 120 ms); "
        "bursts in one block: %d of %d\n",
        delays.size(), delays.front(), delays[delays.size() / 2], delays[delays.size() * 9 / 10],
        delays.back(), whole, bursts);
}

double Cpu(HANDLE thread, bool process) {
    FILETIME c, e, k, u;
    BOOL ok = process ? GetProcessTimes(thread, &c, &e, &k, &u) : GetThreadTimes(thread, &c, &e, &k, &u);
    if (!ok) return -1;
    auto ms = [](FILETIME f) {
        return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e4;
    };
    return ms(k) + ms(u);
}

std::map<DWORD, HANDLE> Threads() {
    std::map<DWORD, HANDLE> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    for (BOOL more = Thread32First(snap, &te); more; more = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == GetCurrentProcessId())
            out[te.th32ThreadID] = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
    CloseHandle(snap);
    return out;
}

// The process's CPU over `seconds` with the port open for overlapped I/O and one comm-event wait
// pending on it, as the reader keeps one, and nothing else: what the system itself costs.
double BarePortCpu(const TPtyEnvironment& env, double seconds) {
    HANDLE port = OpenPlain(env.Port, FILE_FLAG_OVERLAPPED);
    if (port == INVALID_HANDLE_VALUE) return -1;
    OVERLAPPED wait{};
    wait.hEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    DWORD mask = 0;
    SetCommMask(port, EV_RLSD | EV_ERR | EV_RING);
    WaitCommEvent(port, &mask, &wait);
    Pump(1);
    const double start = Cpu(GetCurrentProcess(), true);
    Pump(seconds);
    const double used = Cpu(GetCurrentProcess(), true) - start;
    SetCommMask(port, 0);
    WaitForSingleObject(wait.hEvent, 2000);
    CloseHandle(port);
    CloseHandle(wait.hEvent);
    return used;
}

void IdleCpu(const TPtyEnvironment& env, double seconds) {
    const double bare = BarePortCpu(env, seconds);
    const std::map<DWORD, HANDLE> before = Threads();
    TComm comm(nullptr);
    comm.SetCommName(env.DeviceName());
    ApplyFormSettings(comm);
    comm.OpenPort();
    Pump(1);
    std::map<DWORD, HANDLE> added;
    for (const auto& [id, h] : Threads())
        if (!before.count(id))
            added[id] = h;
        else
            CloseHandle(h);
    HANDLE main = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
    std::map<DWORD, double> start;
    for (const auto& [id, h] : added) start[id] = Cpu(h, false);
    const double mainStart = Cpu(main, false), processStart = Cpu(GetCurrentProcess(), true);
    Pump(seconds);
    double component = Cpu(main, false) - mainStart;
    std::printf("idle open port over %.0f s:\n  main thread %.1f ms\n", seconds, component);
    for (const auto& [id, h] : added) {
        const double used = Cpu(h, false) - start[id];
        const int priority = GetThreadPriority(h);
        const char* role = priority == THREAD_PRIORITY_HIGHEST        ? "reader"
                           : priority == THREAD_PRIORITY_ABOVE_NORMAL ? "writer"
                                                                      : "the system's comm-event wait";
        std::printf("  thread %04lx, %s: %.1f ms\n", id, role, used);
        if (priority == THREAD_PRIORITY_HIGHEST || priority == THREAD_PRIORITY_ABOVE_NORMAL)
            component += used;
        CloseHandle(h);
    }
    const double process = Cpu(GetCurrentProcess(), true) - processStart;
    std::printf("  component's threads (main, reader, writer): %.1f ms (target < 20 ms)\n", component);
    std::printf("  whole process: %.1f ms; a bare port with one comm-event wait pending, same run: %.1f ms "
                "(Wine serves that wait by polling the port about once a millisecond)\n",
                process, bare);
    comm.ClosePort();
    CloseHandle(main);
    for (const auto& [id, h] : before) CloseHandle(h);
}

} // namespace

int main(int argc, char** argv) {
    const TPtyEnvironment env = TPtyEnvironment::FromEnvironment();
    if (!env.Complete()) {
        std::fprintf(stderr, "run through tests/support/pty/pty-run --peer-port ... --preload ...\n");
        return 2;
    }
    const std::size_t bytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1 << 20;
    HANDLE peer = OpenPlain(env.PeerPort, 0);
    if (peer == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %ls\n", env.PeerPort.c_str());
        return 1;
    }
    Throughput(env, peer, bytes, 7);
    BurstDelay(env, peer, 20);
    IdleCpu(env, 10);
    CloseHandle(peer);
    return 0;
}
