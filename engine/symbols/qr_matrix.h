// The QR Code matrix: finder, timing and alignment patterns, format and version information,
// the codewords placed in their zigzag, and the mask (chosen by the four penalty rules or
// forced).
#pragma once

#include "symbols/encode_options.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillion {

// Lays out the symbol of a version and level around its final codewords (data and error
// correction, interleaved) into modules (size x size, 1 dark) with mask 0-7, or with the mask
// of the lowest penalty when mask is -1. Returns the mask used.
int BuildQrMatrix(int version, QrEcc ecc, std::span<const std::uint8_t> codewords, int mask,
                  std::vector<std::uint8_t>& modules);

// The penalty of a finished symbol by the four rules (runs, 2 x 2 blocks, finder-like
// patterns, dark proportion).
int QrPenalty(const std::uint8_t* modules, int size);

} // namespace quillion
