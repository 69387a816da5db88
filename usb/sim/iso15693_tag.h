// The ISO15693 side of the card reader: vicinity tags in its field, each with a UID, blocks of
// four bytes that can be locked one by one, and an AFI and a DSFID that can each be locked.
//
// Reader commands 10-1C carry the ISO15693 request flags as their first data byte. The reader's
// own field order is kept: a command's fixed fields first, then the UID when the address flag
// (20) is set, then any block data. 0x15 select always carries the UID. A UID is accepted in
// either byte order (an ISO15693 UID's most significant byte is E0). With the select flag (10)
// a command acts on the selected tag; with neither flag on the first tag that is not quiet.
//
//   10 inventory   flags [mask bytes]       count, then per tag 00, DSFID, UID (LSB first)
//   11 read        flags start count [UID]  00, the blocks (with the option flag 40 each block
//                                           preceded by its lock status)
//   12 write       flags start count [UID] data (count x 4 bytes)          00
//   13 lock block  flags block [UID]        00
//   14 stay quiet  flags UID                00
//   15 select      flags UID                00
//   16 reset to ready  flags [UID]          00
//   17 write AFI   flags AFI [UID]  18 lock AFI  flags [UID]
//   19 write DSFID flags DSFID [UID] 1A lock DSFID flags [UID]                00
//   1B system information  flags [UID]      00, 0F, UID (LSB first), DSFID, AFI, blocks - 1,
//                                           block size - 1, IC reference
//   1C block security status  flags start count [UID]   00, per block 01 locked or 00
#pragma once

#include <array>
#include <string>
#include <vector>

#include "sim/frame.h"

namespace usbsim {

namespace iso15693 {
inline constexpr std::uint8_t kFirstCommand = 0x10;
inline constexpr std::uint8_t kLastCommand = 0x1C;
inline constexpr std::uint8_t kInventory = 0x10;
inline constexpr std::uint8_t kRead = 0x11;
inline constexpr std::uint8_t kWrite = 0x12;
inline constexpr std::uint8_t kLockBlock = 0x13;
inline constexpr std::uint8_t kStayQuiet = 0x14;
inline constexpr std::uint8_t kSelect = 0x15;
inline constexpr std::uint8_t kResetToReady = 0x16;
inline constexpr std::uint8_t kWriteAfi = 0x17;
inline constexpr std::uint8_t kLockAfi = 0x18;
inline constexpr std::uint8_t kWriteDsfid = 0x19;
inline constexpr std::uint8_t kLockDsfid = 0x1A;
inline constexpr std::uint8_t kSystemInformation = 0x1B;
inline constexpr std::uint8_t kSecurityStatus = 0x1C;

// Request flags.
inline constexpr std::uint8_t kFlagInventory = 0x04;
inline constexpr std::uint8_t kFlagSelect = 0x10;
inline constexpr std::uint8_t kFlagAddress = 0x20;
inline constexpr std::uint8_t kFlagOption = 0x40;

// Failure reasons of this side of the reader.
inline constexpr std::uint8_t kNoTag = 0x83;       // no tag answered
inline constexpr std::uint8_t kNoSuchBlock = 0x93; // a block beyond the tag's memory
inline constexpr std::uint8_t kLocked = 0x94;      // the block, AFI or DSFID is locked
inline constexpr std::uint8_t kLockFailed = 0x95;  // it was locked already

inline constexpr std::size_t kUidBytes = 8;
inline constexpr std::size_t kBlockBytes = 4;
inline constexpr std::size_t kMaxBlocks = 64;
// One reply carries at most this many inventory records.
inline constexpr std::size_t kMaxInventoryRecords = (kMaxReplyData - 1) / 10;
} // namespace iso15693

using Uid = std::array<std::uint8_t, iso15693::kUidBytes>;

struct VicinityTag {
    Uid uid{}; // most significant byte (E0) first
    std::uint8_t dsfid = 0x00;
    std::uint8_t afi = 0x00;
    bool dsfidLocked = false;
    bool afiLocked = false;
    std::uint8_t icReference = 0x01;
    Bytes memory;             // blocks of kBlockBytes
    std::vector<bool> locked; // one per block

    std::size_t BlockCount() const { return locked.size(); }
};

// A tag with `blocks` blocks of zeros, nothing locked.
VicinityTag MakeVicinityTag(const Uid& uid, std::size_t blocks = 28);
// The tag in the field of a new reader.
VicinityTag DefaultVicinityTag();

class VicinityField {
public:
    VicinityField() { Reset(); }

    // The default tag alone in the field, nothing selected or quiet.
    void Reset();
    void Clear();
    void AddTag(VicinityTag tag);

    // The answer to an ISO15693 command; nullopt for any other command.
    std::optional<Answer> Execute(std::uint8_t command, ByteView data);

    // A control line's words after "iso15693": "clear", "default", or
    // "tag <UID, E0 first> [blocks <n>] [afi <hh>] [dsfid <hh>]". False when malformed.
    bool Control(const std::vector<std::string>& args);

    const std::vector<VicinityTag>& Tags() const { return tags_; }

private:
    struct Request {
        std::uint8_t flags = 0;
        ByteView fields; // the command's fixed fields
        std::optional<Uid> uid;
        ByteView rest; // block data after the UID
    };

    // Splits data into flags, `fieldCount` fixed bytes, the UID when addressed, and the rest;
    // nullopt when the bytes do not fit.
    static std::optional<Request> Parse(ByteView data, std::size_t fieldCount, bool alwaysUid,
                                        bool restAllowed);
    // The tag a request acts on, or nullptr when none answers.
    VicinityTag* Target(const Request& request);
    Answer Inventory(ByteView data);
    Answer Blocks(std::uint8_t command, const Request& request, VicinityTag& tag);
    Answer Execute(std::uint8_t command, const Request& request, VicinityTag& tag);
    VicinityTag* Find(const Uid& uid);

    std::vector<VicinityTag> tags_;
    std::vector<bool> quiet_; // one per tag
    std::optional<Uid> selected_;
};

} // namespace usbsim
