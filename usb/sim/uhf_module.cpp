#include "sim/uhf_module.h"

#include <algorithm>
#include <numeric>

namespace usbsim {

using namespace uhf;

std::uint8_t UhfChecksum(ByteView bytesAfterHeader) {
    unsigned sum = std::accumulate(bytesAfterHeader.begin(), bytesAfterHeader.end(), 0u);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

Bytes BuildUhfFrame(std::uint8_t type, std::uint8_t command, ByteView params) {
    Bytes frame{kHeader, type, command};
    AppendWord(frame, static_cast<std::uint16_t>(params.size()));
    frame.insert(frame.end(), params.begin(), params.end());
    frame.push_back(UhfChecksum(ByteView(frame).subspan(1)));
    frame.push_back(kEnd);
    return frame;
}

namespace {

Bytes ErrorFrame(std::uint8_t code) {
    const std::uint8_t params[] = {code};
    return BuildUhfFrame(kTypeResponse, kError, params);
}

std::size_t BankWords(const UhfTag& tag, int bank) {
    return tag.banks[bank].size() / 2;
}

} // namespace

Bytes UhfTag::Epc() const {
    std::size_t bytes = std::min<std::size_t>((Pc() >> 11) * 2, banks[1].size() - 4);
    return Bytes(banks[1].begin() + 4, banks[1].begin() + 4 + static_cast<std::ptrdiff_t>(bytes));
}

void UhfTag::RecomputeCrc() {
    std::size_t covered = 2 + Epc().size();
    std::uint16_t crc = Gen2Crc16(ByteView(banks[1]).subspan(2, covered));
    banks[1][0] = static_cast<std::uint8_t>(crc >> 8);
    banks[1][1] = static_cast<std::uint8_t>(crc & 0xFF);
}

std::optional<UhfTag> MakeUhfTag(ByteView epc, const UhfTagOptions& options) {
    if (epc.size() % 2 != 0 || epc.size() > kMaxEpcBytes) return std::nullopt;
    auto fourBytes = [](const std::optional<Bytes>& b) { return !b || b->size() == 4; };
    auto wholeWords = [](const std::optional<Bytes>& b, std::size_t maxWords) {
        return !b || (b->size() % 2 == 0 && b->size() / 2 <= maxWords && !b->empty());
    };
    if (!fourBytes(options.accessPassword) || !fourBytes(options.killPassword) ||
        !wholeWords(options.tid, 32) || !wholeWords(options.user, kUserWords))
        return std::nullopt;

    UhfTag tag;
    Bytes& reserved = tag.banks[0];
    reserved.assign(kReservedWords * 2, 0);
    if (options.killPassword)
        std::copy(options.killPassword->begin(), options.killPassword->end(), reserved.begin());
    const Bytes access = options.accessPassword.value_or(Bytes{0x5E, 0x21, 0x9C, 0x47});
    std::copy(access.begin(), access.end(), reserved.begin() + 4);

    Bytes& epcBank = tag.banks[1];
    epcBank.assign(kEpcBankWords * 2, 0);
    std::uint16_t pc = options.pc.value_or(static_cast<std::uint16_t>((epc.size() / 2) << 11));
    epcBank[2] = static_cast<std::uint8_t>(pc >> 8);
    epcBank[3] = static_cast<std::uint8_t>(pc & 0xFF);
    std::copy(epc.begin(), epc.end(), epcBank.begin() + 4);
    tag.RecomputeCrc();

    if (options.tid) {
        tag.banks[2] = *options.tid;
    } else {
        // A plausible, per-tag TID: a fixed maker/model part and the EPC's last bytes.
        tag.banks[2] = {0xE2, 0x00, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0, 0};
        std::size_t take = std::min<std::size_t>(epc.size(), 8);
        std::copy(epc.end() - static_cast<std::ptrdiff_t>(take), epc.end(),
                  tag.banks[2].end() - static_cast<std::ptrdiff_t>(take));
    }
    tag.banks[3].assign(kUserWords * 2, 0);
    if (options.user) std::copy(options.user->begin(), options.user->end(), tag.banks[3].begin());
    return tag;
}

UhfTag DefaultUhfTag() {
    const Bytes epc{0xE2, 0x00, 0x51, 0x28, 0x93, 0x0D, 0x01, 0x14, 0x17, 0x40, 0x11, 0x22};
    UhfTagOptions options;
    options.tid = Bytes{0xE2, 0x00, 0x34, 0x12, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    return *MakeUhfTag(epc, options);
}

void UhfModule::Reset() {
    field_.assign(1, DefaultUhfTag());
    waiting_.clear();
    nextToAnswer_ = 0;
    dwell_ = 0;
    answeredSinceSwap_ = 0;
    selection_.reset();
}

void UhfModule::ClearField() {
    field_.clear();
    nextToAnswer_ = 0;
}

void UhfModule::SetDwell(int inventories) {
    dwell_ = std::max(inventories, 0);
    answeredSinceSwap_ = 0;
}

Bytes UhfModule::Handle(ByteView frame) {
    if (frame.size() < 7 || frame.front() != kHeader || frame.back() != kEnd) return ErrorFrame(kErrCommand);
    std::size_t paramLength = Word(frame, 3);
    if (paramLength + 7 != frame.size()) return ErrorFrame(kErrCommand);
    if (UhfChecksum(frame.subspan(1, frame.size() - 3)) != frame[frame.size() - 2])
        return ErrorFrame(kErrCommand);
    ByteView params = frame.subspan(5, paramLength);
    switch (frame[2]) {
    case kInventory:
        return Inventory(params);
    case kSelect:
        return Select(params);
    case kRead:
        return Read(params);
    case kWrite:
        return Write(params);
    default:
        return ErrorFrame(kErrCommand);
    }
}

Bytes UhfModule::Inventory(ByteView params) {
    if (!params.empty()) return ErrorFrame(kErrCommand);
    bool turnIsOver = answeredSinceSwap_ >= dwell_ || (field_.empty() && !waiting_.empty());
    if (dwell_ > 0 && turnIsOver) {
        field_.clear();
        if (!waiting_.empty()) {
            field_.push_back(std::move(waiting_.front()));
            waiting_.pop_front();
        }
        nextToAnswer_ = 0;
        answeredSinceSwap_ = 0;
    }
    if (field_.empty()) return ErrorFrame(kErrNoTag);

    const UhfTag& tag = field_[nextToAnswer_ % field_.size()];
    nextToAnswer_ = (nextToAnswer_ + 1) % field_.size();
    ++answeredSinceSwap_;

    Bytes reply{kRssi};
    AppendWord(reply, tag.Pc());
    Bytes epc = tag.Epc();
    reply.insert(reply.end(), epc.begin(), epc.end());
    AppendWord(reply, tag.StoredCrc());
    return BuildUhfFrame(kTypeNotice, kInventory, reply);
}

Bytes UhfModule::Select(ByteView params) {
    if (params.size() < 7) return ErrorFrame(kErrCommand);
    Selection selection;
    selection.bank = params[0] & 0x03;
    selection.bitPointer = static_cast<std::uint32_t>(params[1]) << 24 |
                           static_cast<std::uint32_t>(params[2]) << 16 |
                           static_cast<std::uint32_t>(params[3]) << 8 | params[4];
    selection.bitCount = params[5];
    std::size_t maskBytes = (static_cast<std::size_t>(selection.bitCount) + 7) / 8;
    if (params.size() != 7 + maskBytes) return ErrorFrame(kErrCommand);
    selection.mask.assign(params.begin() + 7, params.end());
    selection_ = std::move(selection);
    const std::uint8_t ok[] = {0x00};
    return BuildUhfFrame(kTypeResponse, kSelect, ok);
}

bool UhfModule::Matches(const UhfTag& tag, const Selection& selection) {
    const Bytes& bank = tag.banks[selection.bank];
    for (int i = 0; i < selection.bitCount; ++i) {
        std::uint64_t bit = static_cast<std::uint64_t>(selection.bitPointer) + static_cast<unsigned>(i);
        if (bit / 8 >= bank.size()) return false;
        int tagBit = bank[bit / 8] >> (7 - bit % 8) & 1;
        int maskBit = selection.mask[static_cast<std::size_t>(i) / 8] >> (7 - i % 8) & 1;
        if (tagBit != maskBit) return false;
    }
    return true;
}

UhfTag* UhfModule::SelectedTag() {
    if (!selection_) return nullptr;
    for (UhfTag& tag : field_)
        if (Matches(tag, *selection_)) return &tag;
    return nullptr;
}

namespace {

// Password, bank, word address and word count at the start of read and write parameters.
struct Access {
    Bytes password;
    int bank;
    std::size_t address;
    std::size_t words;
};

Access ParseAccess(ByteView params) {
    return {Bytes(params.begin(), params.begin() + 4), params[4], Word(params, 5), Word(params, 7)};
}

// UL, PC and EPC: how the module names the tag it worked on.
Bytes TagIdentity(const UhfTag& tag) {
    Bytes epc = tag.Epc();
    Bytes identity{static_cast<std::uint8_t>(epc.size() + 2)};
    AppendWord(identity, tag.Pc());
    identity.insert(identity.end(), epc.begin(), epc.end());
    return identity;
}

} // namespace

Bytes UhfModule::Read(ByteView params) {
    if (params.size() != 9) return ErrorFrame(kErrCommand);
    Access access = ParseAccess(params);
    if (access.words == 0 || access.bank > 3) return ErrorFrame(kErrCommand);
    UhfTag* tag = SelectedTag();
    if (!tag) return ErrorFrame(kErrReadFailed);
    if (access.password != tag->AccessPassword()) return ErrorFrame(kErrAccess);
    if (access.address + access.words > BankWords(*tag, access.bank)) return ErrorFrame(kErrReadOverrun);

    Bytes reply = TagIdentity(*tag);
    auto first = tag->banks[access.bank].begin() + static_cast<std::ptrdiff_t>(access.address * 2);
    reply.insert(reply.end(), first, first + static_cast<std::ptrdiff_t>(access.words * 2));
    return BuildUhfFrame(kTypeResponse, kRead, reply);
}

Bytes UhfModule::Write(ByteView params) {
    if (params.size() < 9) return ErrorFrame(kErrCommand);
    Access access = ParseAccess(params);
    if (access.words == 0 || params.size() != 9 + access.words * 2 || access.bank > 3)
        return ErrorFrame(kErrCommand);
    UhfTag* tag = SelectedTag();
    if (!tag) return ErrorFrame(kErrWriteFailed);
    if (access.password != tag->AccessPassword()) return ErrorFrame(kErrAccess);
    if (access.address + access.words > BankWords(*tag, access.bank)) return ErrorFrame(kErrWriteOverrun);

    Bytes reply = TagIdentity(*tag);
    reply.push_back(0x00);
    Bytes& bank = tag->banks[access.bank];
    for (std::size_t w = 0; w < access.words; ++w) {
        std::size_t word = access.address + w;
        if (access.bank == 1 && word == 0) continue; // the tag keeps its own CRC
        bank[word * 2] = params[9 + w * 2];
        bank[word * 2 + 1] = params[10 + w * 2];
    }
    if (access.bank == 1) tag->RecomputeCrc();
    return BuildUhfFrame(kTypeResponse, kWrite, reply);
}

} // namespace usbsim
