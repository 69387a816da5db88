#include "console_core/iso15693.h"

namespace core {
namespace {

constexpr std::size_t UidBytes = 8;
constexpr std::size_t RecordChars = 20;
constexpr std::size_t RecordUidOffset = 4;
constexpr std::size_t UidChars = 2 * UidBytes;

} // namespace

std::vector<std::wstring> InventoryUids(std::wstring_view records) {
    std::vector<std::wstring> uids;
    for (std::size_t i = 1; i <= records.size() / RecordChars; ++i)
        uids.emplace_back(records.substr((i - 1) * RecordChars + RecordUidOffset, UidChars));
    return uids;
}

} // namespace core
