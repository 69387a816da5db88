#include "sim/frame.h"

namespace usbsim {

Bytes BuildReply(std::uint8_t address, const Answer& answer) {
    if (answer.data.size() > kMaxReplyData) return BuildReply(address, Answer::Fail(reason::kOutOfRange));
    Bytes reply;
    reply.reserve(answer.data.size() + 6);
    reply.push_back(kFrameStart);
    reply.push_back(address);
    reply.push_back(static_cast<std::uint8_t>(answer.data.size() + 1));
    reply.push_back(answer.status);
    reply.insert(reply.end(), answer.data.begin(), answer.data.end());
    reply.push_back(XorOf(ByteView(reply).subspan(1)));
    reply.push_back(kFrameEnd);
    return reply;
}

void RewriteLengthByte(Bytes& reply, std::uint8_t length) {
    if (reply.size() < 5) return;
    reply[2] = length;
    reply[reply.size() - 2] = XorOf(ByteView(reply).subspan(1, reply.size() - 3));
}

CheckedFrame CheckFrame(ByteView frame) {
    CheckedFrame checked;
    checked.address = frame.size() > 2 ? frame[1] : 0;
    if (frame.size() < 2 || frame.front() != kFrameStart || frame.back() != kFrameEnd) {
        checked.failure = reason::kBadFraming;
        return checked;
    }
    if (frame.size() < 5 || frame[2] + 5u != frame.size()) {
        checked.failure = reason::kWrongLength;
        return checked;
    }
    if (XorOf(frame.subspan(1, frame.size() - 3)) != frame[frame.size() - 2]) {
        checked.failure = reason::kBadXor;
        return checked;
    }
    if (frame[2] == 0) { // no command byte at all
        checked.failure = reason::kWrongLength;
        return checked;
    }
    checked.command = frame[3];
    checked.data.assign(frame.begin() + 4, frame.end() - 2);
    return checked;
}

} // namespace usbsim
