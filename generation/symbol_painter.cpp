#include "symbol_painter.h"

#include "draw/raster.h"
#include "runtime/ansi.h"
#include "runtime/plain_math.h"

#include <algorithm>
#include <cmath>

namespace quillion {
namespace {

constexpr Pixel kDark = 0xFF000000u;
constexpr Pixel kLight = 0xFFFFFFFFu;

int Round(double v) {
    return int(RoundToLong(v));
}

std::shared_ptr<const Font> TextFont(const SymbolTextStyle& style, int module) {
    FontKey key;
    key.face = style.face;
    key.pixelHeight = std::clamp(Round(style.emModules * module), 1, kMaxPixelHeight);
    key.weight = style.bold ? 700 : 400;
    key.italic = style.italic;
    key.underline = style.underline;
    return GetFont(key);
}

} // namespace

SymbolLayout LayOutSymbol(const Symbol& symbol, const PaintSpec& spec, std::int64_t maxPixels) {
    SymbolLayout l;
    const int m = std::max(spec.module, 1);
    l.module = m;
    const std::int64_t widthPx = std::int64_t(symbol.WidthModules()) * m;
    std::int64_t left = 0, right = widthPx; // relative to the first module
    if (spec.quietZones) {
        left = -std::int64_t(symbol.quiet.left) * m;
        right = widthPx + std::int64_t(symbol.quiet.right) * m;
    }
    std::int64_t symbolHeight = 0;
    if (symbol.IsMatrix()) {
        symbolHeight = std::int64_t(symbol.rows) * m;
    } else {
        l.barHeight =
            spec.barHeight > 0 ? spec.barHeight : std::max(1, Round(symbol.barModules * m));
        const bool anyLong = std::find(symbol.longBars.begin(), symbol.longBars.end(), true) !=
                             symbol.longBars.end();
        l.guardHeight = anyLong ? Round(symbol.guardModules * m) : 0;
        symbolHeight = std::int64_t(l.barHeight) + l.guardHeight;
    }
    int textBand = 0, gap = 0;
    if (spec.caption && !symbol.text.empty()) {
        l.font = TextFont(symbol.textStyle, m);
        textBand = l.font->Metrics().height;
        gap = Round(symbol.textStyle.gapModules * m);
        for (const SymbolText& t : symbol.text) {
            SymbolLayout::Placed p{ToAnsi(Utf8ToUtf16(t.text)), 0};
            const int w = l.font->TextWidth(p.ansi);
            const int anchor = Round(t.x * m);
            p.x = t.anchor == SymbolText::Anchor::Left    ? anchor
                  : t.anchor == SymbolText::Anchor::Right ? anchor - w
                                                          : anchor - w / 2;
            left = std::min<std::int64_t>(left, p.x);
            right = std::max<std::int64_t>(right, std::int64_t(p.x) + w);
            l.text.push_back(std::move(p));
        }
    }
    const std::int64_t quietTop = spec.quietZones ? std::int64_t(symbol.quiet.top) * m : 0;
    const std::int64_t quietBottom = spec.quietZones ? std::int64_t(symbol.quiet.bottom) * m : 0;
    std::int64_t height = quietTop + symbolHeight + quietBottom;
    std::int64_t y0 = quietTop;
    if (l.font) {
        if (symbol.textStyle.above) {
            l.textTop = int(quietTop);
            y0 = quietTop + textBand + gap;
            height = y0 + symbolHeight + quietBottom;
        } else {
            // The text band starts below the bars (linear: long bars reach into it).
            const std::int64_t top =
                quietTop + (symbol.IsMatrix() ? symbolHeight : l.barHeight) + gap;
            l.textTop = int(std::min<std::int64_t>(top, INT32_MAX / 2));
            height = std::max(height, top + textBand + quietBottom);
        }
    }
    const std::int64_t width = right - left;
    if (width <= 0 || height <= 0 || width > INT32_MAX / 2 || height > INT32_MAX / 2 ||
        width * height > maxPixels)
        return SymbolLayout{};
    l.width = int(width);
    l.height = int(height);
    l.x0 = int(-left);
    l.y0 = int(y0);
    for (SymbolLayout::Placed& p : l.text)
        p.x += l.x0;
    return l;
}

void PaintSymbol(const Symbol& symbol, const SymbolLayout& l, Image& out) {
    out.width = l.width;
    out.height = l.height;
    out.pixels.assign(std::size_t(l.width) * std::size_t(l.height), kLight);
    if (l.width == 0)
        return;
    const std::size_t w = std::size_t(l.width);
    Pixel* const base = out.pixels.data();
    const int m = l.module;
    if (symbol.IsMatrix()) {
        for (int r = 0; r < symbol.rows; ++r) {
            Pixel* const row = base + std::size_t(l.y0 + r * m) * w;
            for (int c = 0; c < symbol.columns; ++c)
                if (symbol.Dark(r, c))
                    std::fill_n(row + l.x0 + c * m, m, kDark);
            for (int k = 1; k < m; ++k)
                std::copy_n(row, w, row + std::size_t(k) * w);
        }
    } else {
        // The bars' row, then the long bars' row; every other row is a copy.
        Pixel* const barRow = base + std::size_t(l.y0) * w;
        std::vector<std::pair<int, int>> longBars;
        int x = l.x0;
        for (std::size_t i = 0; i < symbol.runs.size(); ++i) {
            const int run = symbol.runs[i] * m;
            if (i % 2 == 0) {
                std::fill_n(barRow + x, run, kDark);
                const std::size_t bar = i / 2;
                if (bar < symbol.longBars.size() && symbol.longBars[bar])
                    longBars.emplace_back(x, run);
            }
            x += run;
        }
        for (int y = 1; y < l.barHeight; ++y)
            std::copy_n(barRow, w, barRow + std::size_t(y) * w);
        if (l.guardHeight > 0) {
            Pixel* const guardRow = barRow + std::size_t(l.barHeight) * w;
            for (const auto& [gx, gw] : longBars)
                std::fill_n(guardRow + gx, gw, kDark);
            for (int y = 1; y < l.guardHeight; ++y)
                std::copy_n(guardRow, w, guardRow + std::size_t(y) * w);
        }
    }
    for (const SymbolLayout::Placed& p : l.text)
        l.font->Draw(out, p.x, l.textTop, p.ansi, kBlack);
}

int FitSymbolModule(const Symbol& symbol, PaintSpec spec, int extraWidth, int maxWidth,
                    int maxModule) {
    int best = 0;
    for (int m = 1; m <= maxModule; ++m) {
        spec.module = m;
        const SymbolLayout l = LayOutSymbol(symbol, spec, INT64_MAX);
        if (l.width == 0 || std::int64_t(l.width) + extraWidth > maxWidth)
            break;
        best = m;
    }
    return best;
}

} // namespace quillion
