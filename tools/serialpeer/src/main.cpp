// serialpeer: plays a UHF reader module on a serial line (one end of a pty pair).
//
//   serialpeer [--period-ms N] [--mode passive|single|multiple|tid|memory|hid] [--epc HEX]...
//              [--reply HH] [--verbose] DEVICE
//
// It answers the mode-switch frames and, while in an active mode, reports the tags in its field every
// N milliseconds (default 1000; 0: never), the first one period after each switch. --epc puts a tag in
// the field (default two tags); --reply answers every mode switch with the code HH (e.g. 01 or 89)
// instead of success.
#include <serialpeer/uhf_peer.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

using namespace serialpeer;

namespace {

volatile std::sig_atomic_t stopping = 0;
void Stop(int) {
    stopping = 1;
}

int Usage() {
    std::fprintf(stderr, "usage: serialpeer [--period-ms N] [--mode passive|single|multiple|tid|memory|hid]\n"
                         "                  [--epc HEX]... [--reply HH] [--verbose] DEVICE\n");
    return 2;
}

bool ParseMode(const std::string& text, TWorkMode& mode) {
    static const std::pair<const char*, TWorkMode> names[] = {
        {"passive", TWorkMode::Passive},         {"single", TWorkMode::ActiveSingle},
        {"multiple", TWorkMode::ActiveMultiple}, {"tid", TWorkMode::ActiveTid},
        {"memory", TWorkMode::ActiveMemory},     {"hid", TWorkMode::UsbHid}};
    for (const auto& [name, value] : names)
        if (text == name) {
            mode = value;
            return true;
        }
    return false;
}

bool WriteAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    TPeerSettings settings;
    long periodMs = 1000;
    bool verbose = false;
    const char* device = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--period-ms" && hasValue) {
            char* end = nullptr;
            periodMs = std::strtol(argv[++i], &end, 10);
            if (*end || periodMs < 0) return Usage();
        } else if (arg == "--mode" && hasValue) {
            if (!ParseMode(argv[++i], settings.mode)) return Usage();
        } else if (arg == "--epc" && hasValue) {
            auto epc = ParseHex(argv[++i]);
            if (!epc || epc->empty() || epc->size() % 2 != 0 || epc->size() > 62) return Usage();
            settings.tags.push_back(*epc);
        } else if (arg == "--reply" && hasValue) {
            auto code = ParseHex(argv[++i]);
            if (!code || code->size() != 1) return Usage();
            settings.reply = code->front();
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (!device && arg.rfind("--", 0) != 0) {
            device = argv[i];
        } else {
            return Usage();
        }
    }
    if (!device) return Usage();
    if (settings.tags.empty()) {
        settings.tags.push_back(*ParseHex("00 00 00 00 00 00 00 00 00 00 00 01"));
        settings.tags.push_back(*ParseHex("30 39 60 62 C3 A5 00 00 00 00 12 34"));
    }

    const int fd = open(device, O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::fprintf(stderr, "serialpeer: %s: %s\n", device, std::strerror(errno));
        return 1;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    std::signal(SIGTERM, Stop);
    std::signal(SIGINT, Stop);
    std::signal(SIGPIPE, SIG_IGN);

    TUhfPeer peer(settings);
    using Clock = std::chrono::steady_clock;
    auto nextReport = Clock::now() + std::chrono::milliseconds(periodMs);
    std::uint8_t buffer[4096];
    while (!stopping) {
        int timeout = -1;
        if (periodMs > 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(nextReport - Clock::now()).count();
            timeout = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready > 0) {
            if (p.revents & (POLLERR | POLLNVAL)) break;
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) {
                // The other end went away for a moment (a pty without a reader): wait, don't spin.
                poll(nullptr, 0, 50);
                continue;
            }
            if (verbose)
                std::fprintf(stderr, "serialpeer: in  %s\n", ToHex(Bytes(buffer, buffer + n)).c_str());
            const Bytes reply = peer.Receive(buffer, static_cast<std::size_t>(n));
            if (!reply.empty()) {
                if (verbose) std::fprintf(stderr, "serialpeer: out %s\n", ToHex(reply).c_str());
                if (!WriteAll(fd, reply)) break;
                // A module that has just switched reports a full period later, never on top of its reply.
                nextReport = Clock::now() + std::chrono::milliseconds(periodMs);
            }
        }
        if (periodMs > 0 && Clock::now() >= nextReport) {
            const Bytes report = peer.Report();
            if (!report.empty()) {
                if (verbose) std::fprintf(stderr, "serialpeer: tag %s\n", ToHex(report).c_str());
                if (!WriteAll(fd, report)) break;
            }
            nextReport += std::chrono::milliseconds(periodMs);
            if (nextReport < Clock::now()) nextReport = Clock::now() + std::chrono::milliseconds(periodMs);
        }
    }
    close(fd);
    return 0;
}
