// The ISO15693 page's reply decoding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The UIDs (least significant byte first, as the reply holds them) of an inventory reply's records:
// the data after the count byte is records of 2 bytes and the UID, 20 characters each. Whole
// records only, however many the count byte claims, so every UID read lies inside the data.
std::vector<std::wstring> InventoryUids(std::wstring_view records);

} // namespace core
