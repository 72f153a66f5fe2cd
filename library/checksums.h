// The two checksums of a PNG file: CRC-32 (ISO 3309, each chunk) and Adler-32 (RFC 1950, the
// zlib stream), computed here so that writing a PNG needs no zlib to be loaded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillion::library {

// The CRC-32 of bytes, continuing from crc (0 to start), as zlib's crc32 gives it.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size, std::uint32_t crc = 0);

// The Adler-32 of bytes, continuing from adler (1 to start), as zlib's adler32 gives it.
std::uint32_t Adler32(const std::uint8_t* bytes, std::size_t size, std::uint32_t adler = 1);

} // namespace quillion::library
