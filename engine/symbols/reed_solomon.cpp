#include "symbols/reed_solomon.h"

namespace quillion {

ReedSolomon::ReedSolomon(unsigned fieldPolynomial, int firstRoot) : firstRoot_(firstRoot) {
    unsigned x = 1;
    for (int i = 0; i < 255; ++i) {
        exp_[std::size_t(i)] = std::uint8_t(x);
        log_[x] = i;
        x <<= 1;
        if (x & 0x100u)
            x ^= fieldPolynomial;
    }
    for (std::size_t i = 255; i < exp_.size(); ++i)
        exp_[i] = exp_[i - 255];
}

std::uint8_t ReedSolomon::Multiply(std::uint8_t a, std::uint8_t b) const {
    if (a == 0 || b == 0)
        return 0;
    return exp_[std::size_t(log_[a] + log_[b])];
}

// g(x) = (x - a^r)(x - a^(r+1))...(x - a^(r+n-1)), coefficients highest power first, the
// leading 1 left out.
std::vector<std::uint8_t> ReedSolomon::Generator(int eccCount) const {
    std::vector<std::uint8_t> g(std::size_t(eccCount) + 1, 0);
    g[0] = 1;
    for (int i = 0; i < eccCount; ++i) {
        const std::uint8_t root = exp_[std::size_t((i + firstRoot_) % 255)];
        for (int j = i + 1; j > 0; --j)
            g[std::size_t(j)] =
                std::uint8_t(g[std::size_t(j)] ^ Multiply(g[std::size_t(j - 1)], root));
    }
    g.erase(g.begin());
    return g;
}

std::vector<std::uint8_t> ReedSolomon::Remainder(std::span<const std::uint8_t> data,
                                                 int eccCount) const {
    const std::vector<std::uint8_t> g = Generator(eccCount);
    std::vector<std::uint8_t> r(std::size_t(eccCount), 0);
    for (const std::uint8_t d : data) {
        const std::uint8_t factor = std::uint8_t(d ^ r[0]);
        r.erase(r.begin());
        r.push_back(0);
        if (factor != 0)
            for (std::size_t j = 0; j < r.size(); ++j)
                r[j] = std::uint8_t(r[j] ^ Multiply(g[j], factor));
    }
    return r;
}

} // namespace quillion
