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

    // Per row and per column: the mapping matrix's row or column, or a border (-1: the solid
    // L, the bottom row and left column of a region; -2: the clock track, top row and right
    // column).
    const auto borders = [](int count, int region, int solid, int clock) {
        std::vector<int> index(static_cast<std::size_t>(count));
        for (int k = 0, data = 0; k < count; ++k) {
            const int within = k % region;
            index[std::size_t(k)] = within == solid ? -1 : within == clock ? -2 : data++;
        }
        return index;
    };
    const std::vector<int> rowIndex = borders(size.rows, size.regionRows, size.regionRows - 1, 0);
    const std::vector<int> columnIndex =
        borders(size.columns, size.regionColumns, 0, size.regionColumns - 1);

    std::vector<std::uint8_t> matrix(std::size_t(size.rows) * std::size_t(size.columns), 0);
    std::uint8_t* out = matrix.data();
    for (int r = 0; r < size.rows; ++r) {
        const int mr = rowIndex[std::size_t(r)];
        for (int c = 0; c < size.columns; ++c, ++out) {
            const int mc = columnIndex[std::size_t(c)];
            if (mr == -1 || mc == -1)
                *out = 1; // the solid L
            else if (mr == -2)
                *out = c % 2 == 0 ? 1 : 0; // the clock track along the top
            else if (mc == -2)
                *out = r % 2 == 1 ? 1 : 0; // and down the right
            else
                *out = mapping.At(mr, mc);
        }
    }
    return matrix;
}

} // namespace quillion::dm
