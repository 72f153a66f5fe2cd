// Data Matrix ECC 200 module placement: the codewords in the mapping matrix (the standard's
// "utah" shapes and four corner shapes) and the data regions with their finder and clock
// patterns.
#pragma once

#include "symbols/dm_tables.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillion::dm {

// The symbol's modules, rows x columns, row by row, 1 dark, for all its codewords (data, then
// error correction, interleaved as the blocks ask).
std::vector<std::uint8_t> PlaceModules(const SymbolSize& size,
                                       std::span<const std::uint8_t> codewords);

} // namespace quillion::dm
