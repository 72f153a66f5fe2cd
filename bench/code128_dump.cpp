// The shortest Code 128 symbols of texts, for bench/code128_auto_vs_zint.py: every line of
// standard input is a text as hexadecimal ISO 8859-1 bytes; every line of output is the symbol's
// modules ("1101..."), a tab and its reading in hexadecimal, or "refused: " and the message.
#include "symbols/code128_symbol.h"

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    quillion::EncodeOptions options;
    options.autoCodeSet = true;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            text.push_back(static_cast<char16_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
        const quillion::Encoded encoded = quillion::EncodeCode128(text, options);
        if (const auto* refusal = std::get_if<quillion::Refusal>(&encoded)) {
            std::cout << "refused: " << refusal->message << '\n';
            continue;
        }
        const quillion::Symbol& symbol = std::get<quillion::Symbol>(encoded);
        std::string out;
        for (std::size_t i = 0; i < symbol.runs.size(); ++i)
            out.append(symbol.runs[i], i % 2 == 0 ? '1' : '0');
        out += '\t';
        for (const unsigned char c : symbol.reading) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", c);
            out += hex;
        }
        std::cout << out << '\n';
    }
    return 0;
}
