#pragma once
// LZHUF encoder: writes the bit stream that TLZH decodes, with the same window, prefill,
// adaptive tree and position code.

#include <cstdint>
#include <span>
#include <vector>

// The bit stream for data, without the size prefix of an archive.
std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data);
