// The PNG writer's own CRC-32 and Adler-32 against zlib's, on inputs that reach the places a
// checksum goes wrong: the standard check string, Adler-32's reduction every 5552 bytes with
// the largest byte values, and a sum carried on from an earlier call.
#include "checksums.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace quillion::library {
namespace {

TEST(Checksums, MatchZlib) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(70000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    std::vector<std::uint8_t> sparse(70000);
    for (std::size_t i = 0; i < sparse.size(); ++i)
        sparse[i] = random() % 11 == 0 ? 0xFF : 0;
    std::vector<std::uint8_t> tail(16, 0x7F);
    tail.resize(24, 0);
    tail.resize(31, 0xFF);
    const std::string check = "123456789";
    struct Row {
        int row;
        std::vector<std::uint8_t> bytes;
        std::size_t split; // the second call starts here
    };
    const Row rows[] = {
        {1, {}, 0},
        {2, std::vector<std::uint8_t>(check.begin(), check.end()), 9},
        {3, std::vector<std::uint8_t>(5552, 0xFF), 5552},
        {4, std::vector<std::uint8_t>(5553 * 3, 0xFF), 5553 * 3},
        {5, noise, 12345},
        {6, noise, 0},
        {7, sparse, 4321}, // zero runs across the reductions, bytes between them
        {8, tail, 0},      // eight zero bytes after the last sixteen
    };
    for (const Row& r : rows) {
        const std::uint8_t* data = r.bytes.data();
        const std::size_t size = r.bytes.size(), rest = size - r.split;
        const auto crcZlib = std::uint32_t(crc32(0, data, uInt(size)));
        const auto adlerZlib = std::uint32_t(adler32(1, data, uInt(size)));
        EXPECT_EQ(Crc32(data + r.split, rest, Crc32(data, r.split)), crcZlib) << "row " << r.row;
        EXPECT_EQ(Adler32(data + r.split, rest, Adler32(data, r.split)), adlerZlib)
            << "row " << r.row;
    }
    // The published check values of the two sums.
    const auto* digits = reinterpret_cast<const std::uint8_t*>(check.data());
    EXPECT_EQ(Crc32(digits, 9), 0xCBF43926u);
    EXPECT_EQ(Adler32(digits, 9), 0x091E01DEu);
}

} // namespace
} // namespace quillion::library
