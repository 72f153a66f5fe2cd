// A zlib stream for filtered barcode scanlines: one deflate block with the fixed Huffman codes,
// literals and runs of a repeated byte (matches at distance 1). Filtered barcode rows are
// mostly such runs, which this packs nearly as well as a full deflate, several times faster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillion::library {

// Appends the zlib stream (header, block, Adler-32) of data[0..size) to out.
void DeflateRuns(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

} // namespace quillion::library
