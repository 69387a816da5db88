// Writes arbitrary frames to a fresh simulated reader and reads every reply. The first byte picks the
// profile and whether frames are sent as given or with their length and XOR made right, so that
// the command handlers see more than the framing checks. Each frame is a length byte and its bytes.

#include <cstdlib>

#include "sim/frame.h"
#include "sim/simulator.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

usbsim::Bytes Framed(usbsim::ByteView body) {
    // body: address, command, data
    usbsim::Bytes frame{usbsim::kFrameStart};
    frame.push_back(body.empty() ? 0 : body[0]);
    frame.push_back(static_cast<std::uint8_t>(body.size() > 1 ? body.size() - 1 : 0));
    if (body.size() > 1) frame.insert(frame.end(), body.begin() + 1, body.end());
    frame.push_back(usbsim::XorOf(usbsim::ByteView(frame).subspan(1)));
    frame.push_back(usbsim::kFrameEnd);
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool tag = data[0] & 1, fix = data[0] & 2;
    usbsim::Simulator sim(tag ? usbsim::Profile::Tag : usbsim::Profile::Reader);
    std::size_t at = 1;
    while (at < size) {
        const std::size_t wanted = data[at++];
        const std::size_t n = std::min(wanted, size - at);
        const usbsim::ByteView chunk(data + at, n);
        at += n;
        const usbsim::Bytes frame =
            fix && n < 255 ? Framed(chunk) : usbsim::Bytes(chunk.begin(), chunk.end());
        const usbsim::CheckedFrame checked = usbsim::CheckFrame(frame);
        if (fix && n < 255 && n >= 2) Check(!checked.failure);
        sim.Write(0, static_cast<int>(frame.size()), frame.data());
        std::uint8_t reply[64] = {};
        const int got = sim.Read(0, sizeof reply, reply);
        Check(got >= 0 && got <= static_cast<int>(sizeof reply));
        if (got > 0) Check(reply[0] == usbsim::kFrameStart);
    }
    return 0;
}
