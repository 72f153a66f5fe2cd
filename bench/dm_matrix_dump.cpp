// Data Matrix symbols as text for bench/dm_codewords.py: one text a line on standard input
// (UTF-8; \\, \n and \r escaped), each symbol out as rows of 0 and 1 (square sizes only, as
// zint --square), a blank line after each; "refused: MESSAGE" for a refusal.
#include "symbols/datamatrix.h"

#include <iostream>
#include <string>
#include <variant>

namespace {

std::u16string FromUtf8(const std::string& s) {
    std::u16string out;
    for (std::size_t k = 0; k < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[k]);
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int j = 1; j < len && k + std::size_t(j) < s.size(); ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(s[k + std::size_t(j)]) & 0x3F);
        k += std::size_t(len);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

} // namespace

int main() {
    quillion::EncodeOptions options;
    options.dmSquare = true;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::string text;
        for (std::size_t k = 0; k < line.size(); ++k) {
            if (line[k] == '\\' && k + 1 < line.size()) {
                const char e = line[++k];
                text.push_back(e == 'n' ? '\n' : e == 'r' ? '\r' : e);
            } else {
                text.push_back(line[k]);
            }
        }
        const quillion::Encoded e = quillion::EncodeDataMatrix(FromUtf8(text), options, false);
        if (const auto* r = std::get_if<quillion::Refusal>(&e)) {
            std::cout << "refused: " << r->message << "\n\n";
            continue;
        }
        const auto& s = std::get<quillion::Symbol>(e);
        std::string out;
        for (int row = 0; row < s.rows; ++row) {
            for (int col = 0; col < s.columns; ++col)
                out.push_back(s.Dark(row, col) ? '1' : '0');
            out.push_back('\n');
        }
        std::cout << out << '\n';
    }
}
