#include "sim/iso15693_tag.h"

#include <algorithm>
#include <charconv>

namespace usbsim {

using namespace iso15693;

namespace {

Uid Reversed(const Uid& uid) {
    Uid reversed = uid;
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

// How each command's request is laid out.
struct Layout {
    std::uint8_t command;
    std::size_t fields;
    bool alwaysUid;
    bool rest; // block data follows
};

constexpr Layout kLayouts[] = {
    {kRead, 2, false, false},
    {kWrite, 2, false, true},
    {kLockBlock, 1, false, false},
    {kStayQuiet, 0, true, false},
    {kSelect, 0, true, false},
    {kResetToReady, 0, false, false},
    {kWriteAfi, 1, false, false},
    {kLockAfi, 0, false, false},
    {kWriteDsfid, 1, false, false},
    {kLockDsfid, 0, false, false},
    {kSystemInformation, 0, false, false},
    {kSecurityStatus, 2, false, false},
};

} // namespace

VicinityTag MakeVicinityTag(const Uid& uid, std::size_t blocks) {
    VicinityTag tag;
    tag.uid = uid;
    tag.memory.assign(blocks * kBlockBytes, 0x00);
    tag.locked.assign(blocks, false);
    return tag;
}

VicinityTag DefaultVicinityTag() {
    return MakeVicinityTag({0xE0, 0x07, 0x00, 0x00, 0x1A, 0x2B, 0x3C, 0x4D});
}

void VicinityField::Reset() {
    Clear();
    AddTag(DefaultVicinityTag());
}

void VicinityField::Clear() {
    tags_.clear();
    quiet_.clear();
    selected_.reset();
}

void VicinityField::AddTag(VicinityTag tag) {
    tags_.push_back(std::move(tag));
    quiet_.push_back(false);
}

VicinityTag* VicinityField::Find(const Uid& uid) {
    const Uid reversed = Reversed(uid);
    auto found = std::find_if(tags_.begin(), tags_.end(),
                              [&](const VicinityTag& tag) { return tag.uid == uid || tag.uid == reversed; });
    return found == tags_.end() ? nullptr : &*found;
}

std::optional<VicinityField::Request> VicinityField::Parse(ByteView data, std::size_t fieldCount,
                                                           bool alwaysUid, bool restAllowed) {
    if (data.empty()) return std::nullopt;
    Request request;
    request.flags = data[0];
    const bool withUid = alwaysUid || (request.flags & kFlagAddress);
    const std::size_t fixed = 1 + fieldCount + (withUid ? kUidBytes : 0);
    if (data.size() < fixed || (!restAllowed && data.size() != fixed)) return std::nullopt;
    request.fields = data.subspan(1, fieldCount);
    if (withUid) {
        Uid uid;
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(1 + fieldCount), kUidBytes, uid.begin());
        request.uid = uid;
    }
    request.rest = data.subspan(fixed);
    return request;
}

VicinityTag* VicinityField::Target(const Request& request) {
    if (request.uid) return Find(*request.uid);
    if (request.flags & kFlagSelect) return selected_ ? Find(*selected_) : nullptr;
    for (std::size_t i = 0; i < tags_.size(); ++i)
        if (!quiet_[i]) return &tags_[i];
    return nullptr;
}

std::optional<Answer> VicinityField::Execute(std::uint8_t command, ByteView data) {
    if (command < kFirstCommand || command > kLastCommand) return std::nullopt;
    if (command == kInventory) return Inventory(data);
    const auto layout = std::find_if(std::begin(kLayouts), std::end(kLayouts),
                                     [command](const Layout& l) { return l.command == command; });
    const std::optional<Request> request = Parse(data, layout->fields, layout->alwaysUid, layout->rest);
    if (!request) return Answer::Fail(reason::kWrongLength);
    VicinityTag* tag = Target(*request);
    if (!tag) return Answer::Fail(kNoTag);
    return Execute(command, *request, *tag);
}

Answer VicinityField::Inventory(ByteView data) {
    if (data.empty() || !(data[0] & kFlagInventory)) return Answer::Fail(reason::kWrongLength);
    Bytes records{0x00};
    std::uint8_t count = 0;
    for (std::size_t i = 0; i < tags_.size() && count < kMaxInventoryRecords; ++i) {
        if (quiet_[i]) continue;
        records.push_back(0x00);
        records.push_back(tags_[i].dsfid);
        const Uid onAir = Reversed(tags_[i].uid);
        records.insert(records.end(), onAir.begin(), onAir.end());
        ++count;
    }
    if (count == 0) return Answer::Fail(kNoTag);
    records[0] = count;
    return Answer::Ok(std::move(records));
}

Answer VicinityField::Blocks(std::uint8_t command, const Request& request, VicinityTag& tag) {
    const std::size_t first = request.fields[0];
    const std::size_t count = request.fields[1];
    if (count == 0 || first + count > tag.BlockCount()) return Answer::Fail(kNoSuchBlock);
    const auto blockAt = [&](std::size_t block) {
        return tag.memory.begin() + static_cast<std::ptrdiff_t>(block * kBlockBytes);
    };
    Bytes reply{0x00};
    switch (command) {
    case kRead:
        for (std::size_t b = first; b < first + count; ++b) {
            if (request.flags & kFlagOption) reply.push_back(tag.locked[b] ? 0x01 : 0x00);
            reply.insert(reply.end(), blockAt(b), blockAt(b + 1));
        }
        break;
    case kWrite:
        if (request.rest.size() != count * kBlockBytes) return Answer::Fail(reason::kWrongLength);
        for (std::size_t b = first; b < first + count; ++b)
            if (tag.locked[b]) return Answer::Fail(kLocked);
        std::copy(request.rest.begin(), request.rest.end(), blockAt(first));
        break;
    default: // security status
        for (std::size_t b = first; b < first + count; ++b) reply.push_back(tag.locked[b] ? 0x01 : 0x00);
        break;
    }
    return Answer::Ok(std::move(reply));
}

Answer VicinityField::Execute(std::uint8_t command, const Request& request, VicinityTag& tag) {
    const std::size_t index = static_cast<std::size_t>(&tag - tags_.data());
    // Writes a byte that can be locked, or locks it.
    const auto lockable = [](std::uint8_t& value, bool& locked, std::optional<std::uint8_t> newValue) {
        if (newValue) {
            if (locked) return Answer::Fail(kLocked);
            value = *newValue;
        } else {
            if (locked) return Answer::Fail(kLockFailed);
            locked = true;
        }
        return Answer::Ok({0x00});
    };
    switch (command) {
    case kRead:
    case kWrite:
    case kSecurityStatus:
        return Blocks(command, request, tag);
    case kLockBlock: {
        const std::size_t block = request.fields[0];
        if (block >= tag.BlockCount()) return Answer::Fail(kNoSuchBlock);
        if (tag.locked[block]) return Answer::Fail(kLockFailed);
        tag.locked[block] = true;
        return Answer::Ok({0x00});
    }
    case kStayQuiet:
        quiet_[index] = true;
        if (selected_ == tag.uid) selected_.reset();
        return Answer::Ok({0x00});
    case kSelect:
        selected_ = tag.uid;
        quiet_[index] = false;
        return Answer::Ok({0x00});
    case kResetToReady:
        quiet_[index] = false;
        if (selected_ == tag.uid) selected_.reset();
        return Answer::Ok({0x00});
    case kWriteAfi:
        return lockable(tag.afi, tag.afiLocked, request.fields[0]);
    case kLockAfi:
        return lockable(tag.afi, tag.afiLocked, std::nullopt);
    case kWriteDsfid:
        return lockable(tag.dsfid, tag.dsfidLocked, request.fields[0]);
    case kLockDsfid:
        return lockable(tag.dsfid, tag.dsfidLocked, std::nullopt);
    default: { // system information
        Bytes reply{0x00, 0x0F};
        const Uid onAir = Reversed(tag.uid);
        reply.insert(reply.end(), onAir.begin(), onAir.end());
        reply.push_back(tag.dsfid);
        reply.push_back(tag.afi);
        reply.push_back(static_cast<std::uint8_t>(tag.BlockCount() - 1));
        reply.push_back(static_cast<std::uint8_t>(kBlockBytes - 1));
        reply.push_back(tag.icReference);
        return Answer::Ok(std::move(reply));
    }
    }
}

bool VicinityField::Control(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "clear") {
        Clear();
        return true;
    }
    if (args.size() == 1 && args[0] == "default") {
        Reset();
        return true;
    }
    if (args.size() < 2 || args[0] != "tag" || args.size() % 2 != 0) return false;
    auto uid = ParseHex(args[1]);
    if (!uid || uid->size() != kUidBytes) return false;
    std::size_t blocks = 28;
    std::optional<std::uint8_t> afi, dsfid;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        const std::string& value = args[i + 1];
        if (args[i] == "blocks") {
            auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), blocks);
            if (error != std::errc() || end != value.data() + value.size() || blocks == 0 ||
                blocks > kMaxBlocks)
                return false;
        } else if (args[i] == "afi" || args[i] == "dsfid") {
            auto byte = ParseHex(value);
            if (!byte || byte->size() != 1) return false;
            (args[i] == "afi" ? afi : dsfid) = (*byte)[0];
        } else {
            return false;
        }
    }
    Uid id;
    std::copy(uid->begin(), uid->end(), id.begin());
    VicinityTag tag = MakeVicinityTag(id, blocks);
    tag.afi = afi.value_or(0x00);
    tag.dsfid = dsfid.value_or(0x00);
    AddTag(std::move(tag));
    return true;
}

} // namespace usbsim
