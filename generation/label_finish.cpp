#include "label_finish.h"

#include "label_size.h"
#include "runtime/plain_math.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <variant>

namespace quillion {
namespace {

std::uint32_t Channel(Pixel p, int shift) {
    return (p >> shift) & 0xFFu;
}

// The picture with the sides added and the colours changed, unturned.
void PadAndRecolour(const Image& picture, const LabelFinish& f, Image& out) {
    std::array<Pixel, 256> colours{};
    for (std::uint32_t grey = 0; grey < 256; ++grey)
        colours[grey] = Recolour(0xFF000000u | grey * 0x010101u, f.foreground, f.background);
    out = Image(picture.width + f.left + f.right, picture.height + f.top + f.bottom, f.background);
    for (int y = 0; y < picture.height; ++y) {
        const Pixel* src = picture.pixels.data() + std::size_t(y) * std::size_t(picture.width);
        Pixel* dst = &out.At(f.left, y + f.top);
        if (!f.Recolours()) {
            std::copy(src, src + picture.width, dst);
            continue;
        }
        for (int x = 0; x < picture.width; ++x)
            dst[x] = colours[Channel(src[x], 8)];
    }
}

} // namespace

std::pair<std::int64_t, std::int64_t> FinishedSize(int width, int height, const LabelFinish& f) {
    const std::int64_t w = std::int64_t{width} + f.left + f.right;
    const std::int64_t h = std::int64_t{height} + f.top + f.bottom;
    return f.rotation == 90 || f.rotation == 270 ? std::pair{h, w} : std::pair{w, h};
}

Pixel Recolour(Pixel painted, Pixel foreground, Pixel background) {
    const std::uint32_t grey = Channel(painted, 8);
    Pixel out = 0;
    for (const int shift : {0, 8, 16, 24}) {
        const std::uint32_t mixed =
            (Channel(foreground, shift) * (255 - grey) + Channel(background, shift) * grey + 127) /
            255;
        out |= mixed << shift;
    }
    return out;
}

std::string FinishPicture(const Image& picture, const LabelFinish& finish, std::int64_t maxPixels,
                          Image& out) {
    const auto [w, h] = FinishedSize(picture.width, picture.height, finish);
    if (w * h > maxPixels)
        return "the finished picture would have " + std::to_string(w) + " x " + std::to_string(h) +
               " pixels, more than " + std::to_string(maxPixels);
    if (!finish.Turns()) {
        PadAndRecolour(picture, finish, out);
        return {};
    }
    Image flat;
    PadAndRecolour(picture, finish, flat);
    out = Image(static_cast<int>(w), static_cast<int>(h), finish.background);
    const int fw = flat.width, fh = flat.height;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            const Pixel p = flat.At(x, y);
            switch (finish.rotation) {
            case 90: // the top row becomes the right column
                out.At(fh - 1 - y, x) = p;
                break;
            case 180:
                out.At(fw - 1 - x, fh - 1 - y) = p;
                break;
            default: // 270: the top row becomes the left column, read upwards
                out.At(y, fw - 1 - x) = p;
                break;
            }
        }
    return {};
}

namespace {

// x^2.4 for x in (0, 1] without the maths library (runtime/plain_math.h): x^2 times the fifth
// root of x^2, which Newton's method reaches from 1, in long double so that the double it gives
// is within two units in the last place of std::pow's.
double PowerTwoPointFour(double x) {
    const long double square = static_cast<long double>(x) * x;
    long double root = 1.0L;
    for (int step = 0; step < 64; ++step) {
        const long double fourth = (root * root) * (root * root);
        const long double next = root - (fourth * root - square) / (5.0L * fourth);
        if (next == root)
            break;
        root = next;
    }
    return static_cast<double>(square * root);
}

// One channel's linear intensity, laid over white by alpha.
double Linear(Pixel p, int shift) {
    const double alpha = double(p >> 24) / 255.0;
    const double c = double((p >> shift) & 0xFFu) / 255.0;
    const double shown = c * alpha + (1.0 - alpha);
    return shown <= 0.04045 ? shown / 12.92 : PowerTwoPointFour((shown + 0.055) / 1.055);
}

// The reflectance a reader sees: the colour's luminance (CIE Y of sRGB), laid over white.
double Reflectance(Pixel p) {
    return 0.2126 * Linear(p, 16) + 0.7152 * Linear(p, 8) + 0.0722 * Linear(p, 0);
}

} // namespace

double SymbolContrast(Pixel foreground, Pixel background) {
    return Reflectance(background) - Reflectance(foreground);
}

std::string ContrastProblem(Pixel foreground, Pixel background) {
    const double contrast = SymbolContrast(foreground, background);
    if (contrast >= kMinSymbolContrast)
        return {};
    const int percent = int(RoundToLong(std::abs(contrast) * 100));
    if (contrast < 0)
        return "give bars lighter than their background (by " + std::to_string(percent) +
               "% in luminance): scanners read dark bars on light ground";
    return "give a symbol contrast of " + std::to_string(percent) +
           "% in luminance, too little to scan (at least " +
           std::to_string(int(kMinSymbolContrast * 100)) + "%, ISO/IEC 15416 grade C)";
}

} // namespace quillion
