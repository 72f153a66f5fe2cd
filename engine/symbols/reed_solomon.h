// Reed-Solomon error correction over GF(256), as QR Code (field polynomial 0x11D, generator
// roots from alpha^0) and Data Matrix (0x12D, roots from alpha^1) use it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quillion {

class ReedSolomon {
public:
    // fieldPolynomial: 0x11D (QR Code) or 0x12D (Data Matrix); firstRoot: the exponent of the
    // generator polynomial's first root (0 for QR Code, 1 for Data Matrix).
    ReedSolomon(unsigned fieldPolynomial, int firstRoot);

    // The eccCount error correction codewords of data (the remainder of data * x^eccCount
    // divided by the generator polynomial), highest power first.
    std::vector<std::uint8_t> Remainder(std::span<const std::uint8_t> data, int eccCount) const;

    std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) const;

private:
    std::vector<std::uint8_t> Generator(int eccCount) const;

    std::array<std::uint8_t, 512> exp_{};
    std::array<int, 256> log_{};
    int firstRoot_;
};

} // namespace quillion
