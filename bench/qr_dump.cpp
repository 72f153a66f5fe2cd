// Prints the QR Code symbol of every line of standard input (UTF-8) as zint --dump does: one
// hexadecimal string per row, a blank line after each symbol ("ERROR message" for a refusal).
// Usage: quillion_qr_dump L|M|Q|H [noeci] [keep]   (keep: no level raising)
// Used by bench/qr_bits.py to compare data bits with zint, qrencode and segno.
#include "runtime/ansi.h"
#include "symbols/qr_code.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    using namespace quillion;
    EncodeOptions options;
    const std::string level = argc > 1 ? argv[1] : "M";
    options.ecc = QrEcc(std::string("LMQH").find(level[0]) % 4);
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "noeci")
            options.eci = false;
        else if (a == "keep")
            options.keepEcc = true;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        const Encoded e = EncodeQr(Utf8ToUtf16(line), options, false);
        if (const auto* r = std::get_if<Refusal>(&e)) {
            std::cout << "ERROR " << r->message << "\n\n";
            continue;
        }
        const Symbol& s = std::get<Symbol>(e);
        static constexpr char kHex[] = "0123456789ABCDEF";
        for (int r = 0; r < s.rows; ++r) {
            std::string row;
            for (int c = 0; c < s.columns; c += 4) {
                int nibble = 0;
                for (int k = 0; k < 4; ++k)
                    nibble = nibble * 2 + (c + k < s.columns && s.Dark(r, c + k) ? 1 : 0);
                row.push_back(kHex[nibble]);
            }
            std::cout << row << '\n';
        }
        std::cout << '\n';
    }
    return 0;
}
