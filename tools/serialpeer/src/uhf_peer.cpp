#include <serialpeer/uhf_peer.h>

#include <algorithm>
#include <cctype>

namespace serialpeer {

namespace {

std::uint8_t Checksum(const Bytes& frame, std::size_t from, std::size_t to) {
    unsigned sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += frame[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

constexpr std::uint8_t kRssi = 0xC8;

} // namespace

Bytes EncodeFrame(const TFrame& frame) {
    const std::size_t n = frame.parameters.size();
    Bytes out{kFrameStart, frame.type, frame.command, static_cast<std::uint8_t>(n >> 8),
              static_cast<std::uint8_t>(n & 0xFF)};
    out.insert(out.end(), frame.parameters.begin(), frame.parameters.end());
    out.push_back(Checksum(out, 1, out.size()));
    out.push_back(kFrameEnd);
    return out;
}

void TFrameReader::Feed(const std::uint8_t* bytes, std::size_t count) { pending_.insert(pending_.end(), bytes, bytes + count); }

std::optional<TFrame> TFrameReader::Next() {
    for (;;) {
        const auto start = std::find(pending_.begin(), pending_.end(), kFrameStart);
        pending_.erase(pending_.begin(), start);
        if (pending_.size() < 5) return std::nullopt;
        const std::size_t length = (std::size_t(pending_[3]) << 8) | pending_[4];
        if (length > kMaxParameters) {
            pending_.erase(pending_.begin()); // not a frame start after all
            continue;
        }
        const std::size_t total = length + 7;
        if (pending_.size() < total) return std::nullopt;
        if (pending_[total - 1] != kFrameEnd || pending_[total - 2] != Checksum(pending_, 1, total - 2)) {
            pending_.erase(pending_.begin());
            continue;
        }
        TFrame frame;
        frame.type = pending_[1];
        frame.command = pending_[2];
        frame.parameters.assign(pending_.begin() + 5, pending_.begin() + 5 + static_cast<std::ptrdiff_t>(length));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(total));
        return frame;
    }
}

std::uint16_t EpcCrc(const Bytes& pcAndEpc) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : pcAndEpc) {
        crc ^= static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return static_cast<std::uint16_t>(~crc);
}

TUhfPeer::TUhfPeer(TPeerSettings settings) : settings_(std::move(settings)) {}

Bytes TUhfPeer::Receive(const std::uint8_t* bytes, std::size_t count) {
    reader_.Feed(bytes, count);
    Bytes out;
    while (auto frame = reader_.Next()) {
        const Bytes reply = Answer(*frame);
        out.insert(out.end(), reply.begin(), reply.end());
    }
    return out;
}

Bytes TUhfPeer::Answer(const TFrame& frame) {
    std::uint8_t code = kBadParameter;
    std::optional<TWorkMode> next;
    const Bytes& p = frame.parameters;
    switch (frame.command) {
    case kSwitchToUsbHid:
        code = 0x00;
        next = TWorkMode::UsbHid;
        break;
    case kSetWorkMode:
        if (p.size() == 1 && p[0] <= 0x03) {
            static const TWorkMode modes[] = {TWorkMode::Passive, TWorkMode::ActiveSingle, TWorkMode::ActiveMultiple,
                                              TWorkMode::ActiveTid};
            code = p[0];
            next = modes[p[0]];
        }
        break;
    case kReadMemoryActively:
        // sector, access password (4 bytes), word address, word count
        if (p.size() == 7) {
            code = 0x03;
            next = TWorkMode::ActiveMemory;
            memoryAddress_ = p[5];
            memoryWords_ = p[6];
        }
        break;
    default:
        return {}; // not a frame this module answers on the serial line
    }
    if (settings_.reply) {
        if (*settings_.reply != code) next.reset();
        code = *settings_.reply;
    }
    if (next) settings_.mode = *next;
    return EncodeFrame({kTypeReply, frame.command, {code}});
}

Bytes TUhfPeer::TagReport(const Bytes& epc) const {
    Bytes pcAndEpc{static_cast<std::uint8_t>(epc.size() * 4), 0x00};
    pcAndEpc.insert(pcAndEpc.end(), epc.begin(), epc.end());
    const std::uint16_t crc = EpcCrc(pcAndEpc);
    Bytes parameters{kRssi};
    parameters.insert(parameters.end(), pcAndEpc.begin(), pcAndEpc.end());
    parameters.push_back(static_cast<std::uint8_t>(crc >> 8));
    parameters.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return EncodeFrame({kTypeReport, kInventory, parameters});
}

Bytes TUhfPeer::Report() const {
    const auto& tags = settings_.tags;
    Bytes out;
    auto append = [&out](const Bytes& frame) { out.insert(out.end(), frame.begin(), frame.end()); };
    switch (settings_.mode) {
    case TWorkMode::Passive:
    case TWorkMode::UsbHid: break;
    case TWorkMode::ActiveSingle:
        if (!tags.empty()) append(TagReport(tags.front()));
        break;
    case TWorkMode::ActiveMultiple:
        for (const Bytes& epc : tags) append(TagReport(epc));
        break;
    case TWorkMode::ActiveTid:
        if (!tags.empty()) {
            // A TID of 12 bytes: class and model, then a serial taken from the tag's EPC.
            Bytes tid{0xE2, 0x80, 0x11, 0x70, 0x00, 0x00};
            const Bytes& epc = tags.front();
            for (std::size_t i = epc.size() >= 6 ? epc.size() - 6 : 0; i < epc.size(); ++i) tid.push_back(epc[i]);
            tid.resize(12, 0x00);
            append(EncodeFrame({kTypeReport, kReadData, tid}));
        }
        break;
    case TWorkMode::ActiveMemory:
        if (!tags.empty()) {
            Bytes words;
            for (unsigned i = 0; i < 2u * memoryWords_; ++i)
                words.push_back(static_cast<std::uint8_t>((memoryAddress_ * 2 + i) & 0xFF));
            append(EncodeFrame({kTypeReport, kReadData, words}));
        }
        break;
    }
    return out;
}

std::optional<Bytes> ParseHex(const std::string& text) {
    Bytes out;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '-') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return out;
}

std::string ToHex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

} // namespace serialpeer
