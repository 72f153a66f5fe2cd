#include "symbols/dm_placement.h"

#include <cstddef>

namespace quillion::dm {
namespace {

class Mapping {
public:
    Mapping(int rows, int columns, std::span<const std::uint8_t> codewords)
        : rows_(rows), columns_(columns), codewords_(codewords),
          bits_(std::size_t(rows) * std::size_t(columns), kUnset) {}

    void Fill() {
        int pos = 0, row = 4, col = 0;
        do {
            if (row == rows_ && col == 0)
                Corner1(pos++);
            if (row == rows_ - 2 && col == 0 && columns_ % 4 != 0)
                Corner2(pos++);
            if (row == rows_ - 2 && col == 0 && columns_ % 8 == 4)
                Corner3(pos++);
            if (row == rows_ + 4 && col == 2 && columns_ % 8 == 0)
                Corner4(pos++);
            do {
                if (row < rows_ && col >= 0 && At(row, col) == kUnset)
                    Utah(row, col, pos++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < columns_);
            row += 1;
            col += 3;
            do {
                if (row >= 0 && col < columns_ && At(row, col) == kUnset)
                    Utah(row, col, pos++);
                row += 2;
                col -= 2;
            } while (row < rows_ && col >= 0);
            row += 3;
            col += 1;
        } while (row < rows_ || col < columns_);
        // The fixed pattern of the bottom-right corner when the shapes leave it.
        if (At(rows_ - 1, columns_ - 1) == kUnset) {
            At(rows_ - 1, columns_ - 1) = 1;
            At(rows_ - 2, columns_ - 2) = 1;
            At(rows_ - 1, columns_ - 2) = 0;
            At(rows_ - 2, columns_ - 1) = 0;
        }
    }

    std::uint8_t& At(int row, int col) {
        return bits_[std::size_t(row) * std::size_t(columns_) + std::size_t(col)];
    }

private:
    static constexpr std::uint8_t kUnset = 2;

    // Bit 1 is the codeword's most significant bit.
    void Module(int row, int col, int pos, int bit) {
        if (row < 0) {
            row += rows_;
            col += 4 - ((rows_ + 4) % 8);
        }
        if (col < 0) {
            col += columns_;
            row += 4 - ((columns_ + 4) % 8);
        }
        // Some extension sizes (26x40, 26x48) wrap below the last row as well.
        if (row >= rows_)
            row -= rows_;
        if (row < 0 || row >= rows_ || col < 0 || col >= columns_)
            return; // not reached for the sizes of the table
        const std::uint8_t cw =
            std::size_t(pos) < codewords_.size() ? codewords_[std::size_t(pos)] : 0;
        At(row, col) = std::uint8_t((cw >> (8 - bit)) & 1);
    }

    void Utah(int row, int col, int pos) {
        Module(row - 2, col - 2, pos, 1);
        Module(row - 2, col - 1, pos, 2);
        Module(row - 1, col - 2, pos, 3);
        Module(row - 1, col - 1, pos, 4);
        Module(row - 1, col, pos, 5);
        Module(row, col - 2, pos, 6);
        Module(row, col - 1, pos, 7);
        Module(row, col, pos, 8);
    }
    void Corner1(int pos) {
        Module(rows_ - 1, 0, pos, 1);
        Module(rows_ - 1, 1, pos, 2);
        Module(rows_ - 1, 2, pos, 3);
        Module(0, columns_ - 2, pos, 4);
        Module(0, columns_ - 1, pos, 5);
        Module(1, columns_ - 1, pos, 6);
        Module(2, columns_ - 1, pos, 7);
        Module(3, columns_ - 1, pos, 8);
    }
    void Corner2(int pos) {
        Module(rows_ - 3, 0, pos, 1);
        Module(rows_ - 2, 0, pos, 2);
        Module(rows_ - 1, 0, pos, 3);
        Module(0, columns_ - 4, pos, 4);
        Module(0, columns_ - 3, pos, 5);
        Module(0, columns_ - 2, pos, 6);
        Module(0, columns_ - 1, pos, 7);
        Module(1, columns_ - 1, pos, 8);
    }
    void Corner3(int pos) {
        Module(rows_ - 3, 0, pos, 1);
        Module(rows_ - 2, 0, pos, 2);
        Module(rows_ - 1, 0, pos, 3);
        Module(0, columns_ - 2, pos, 4);
        Module(0, columns_ - 1, pos, 5);
        Module(1, columns_ - 1, pos, 6);
        Module(2, columns_ - 1, pos, 7);
        Module(3, columns_ - 1, pos, 8);
    }
    void Corner4(int pos) {
        Module(rows_ - 1, 0, pos, 1);
        Module(rows_ - 1, columns_ - 1, pos, 2);
        Module(0, columns_ - 3, pos, 3);
        Module(0, columns_ - 2, pos, 4);
        Module(0, columns_ - 1, pos, 5);
        Module(1, columns_ - 3, pos, 6);
        Module(1, columns_ - 2, pos, 7);
        Module(1, columns_ - 1, pos, 8);
    }

    int rows_, columns_;
    std::span<const std::uint8_t> codewords_;
    std::vector<std::uint8_t> bits_;
};

} // namespace

std::vector<std::uint8_t> PlaceModules(const SymbolSize& size,
                                       std::span<const std::uint8_t> codewords) {
    const int mapRows = size.MappingRows(), mapColumns = size.MappingColumns();
    Mapping mapping(mapRows, mapColumns, codewords);
    mapping.Fill();

    std::vector<std::uint8_t> matrix(std::size_t(size.rows) * std::size_t(size.columns), 0);
    const auto set = [&](int r, int c, bool dark) {
        matrix[std::size_t(r) * std::size_t(size.columns) + std::size_t(c)] = dark ? 1 : 0;
    };
    const int innerRows = size.regionRows - 2, innerColumns = size.regionColumns - 2;
    for (int r = 0; r < size.rows; ++r) {
        const int rr = r % size.regionRows; // row within the region, border included
        for (int c = 0; c < size.columns; ++c) {
            const int rc = c % size.regionColumns;
            if (rr == size.regionRows - 1 || rc == 0)
                set(r, c, true); // the solid L: bottom row and left column
            else if (rr == 0)
                set(r, c, rc % 2 == 0); // the clock track along the top
            else if (rc == size.regionColumns - 1)
                set(r, c, rr % 2 == 1); // and down the right
            else
                set(r, c,
                    mapping.At(r / size.regionRows * innerRows + rr - 1,
                               c / size.regionColumns * innerColumns + rc - 1) == 1);
        }
    }
    return matrix;
}

} // namespace quillion::dm
