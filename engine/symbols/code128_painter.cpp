#include "symbols/code128_painter.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_patterns.h"
#include "symbols/code128_symbol.h"

#include <span>
#include <string>
#include <vector>

namespace quillion {
namespace {

// A symbol is three bars and three spaces; the stop pattern, last, one bar more.
constexpr std::size_t kRunsPerSymbol = 6;

// Runs a clean-up action when the scope ends, also when a RuntimeError passes through.
template <class F> class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

// Calls bar(left, right) for the bars of one symbol's runs (bar first) from column x; returns
// the column after the symbol. Edges are checked 32-bit sums of x and whole modules.
template <class BarFn>
std::int32_t WalkRuns(std::span<const std::uint8_t> runs, std::int32_t x, std::int32_t m,
                      BarFn& bar) {
    std::int32_t offset = 0; // in modules
    for (std::size_t i = 0; i < runs.size(); i += 2) {
        const std::int32_t left = Add32(x, Mul32(offset, m));
        bar(left, Add32(left, Mul32(runs[i], m)));
        offset += runs[i] + (i + 1 < runs.size() ? runs[i + 1] : 0);
    }
    return Add32(x, Mul32(offset, m));
}

// Walks the runs of the symbols and the stop pattern from column x, calling bar(left, right)
// for every bar in painting order; returns the column after the last bar. A value without a
// pattern raises error 9 when the walk reaches it.
template <class BarFn>
std::int32_t WalkSymbols(const Code128Sequence& sequence, std::int32_t x, std::int32_t m,
                         BarFn&& bar) {
    const std::vector<std::uint8_t> runs = Code128Runs(sequence);
    const std::span<const std::uint8_t> all(runs);
    std::size_t first = 0;
    for (const std::uint8_t value : sequence) {
        if (code128::PatternOf(value) == nullptr)
            RaiseSubscriptOutOfRange();
        x = WalkRuns(all.subspan(first, kRunsPerSymbol), x, m, bar);
        first += kRunsPerSymbol;
    }
    return WalkRuns(all.subspan(first), x, m, bar);
}

std::int32_t ModuleWidthOf(const BarcodeRequest& request) {
    return request.ModuleWidth < 1 ? 1 : request.ModuleWidth;
}

// The drawing objects of one painting pass. Released in the host's order: previous font back,
// stock null brush and black pen, then bar brush, caption font and bar pen deleted.
class PaintObjects {
public:
    explicit PaintObjects(DeviceContext& dc) : dc_(dc) {}
    ~PaintObjects() {
        if (font_ != 0)
            dc_.SelectObject(previousFont_);
        dc_.SelectObject(dc_.GetStockObject(NULL_BRUSH));
        dc_.SelectObject(dc_.GetStockObject(BLACK_PEN));
        if (barBrush_ != 0)
            dc_.DeleteObject(barBrush_);
        if (font_ != 0)
            dc_.DeleteObject(font_);
        if (barPen_ != 0)
            dc_.DeleteObject(barPen_);
    }
    PaintObjects(const PaintObjects&) = delete;
    PaintObjects& operator=(const PaintObjects&) = delete;

    void CreateCaption(const BarcodeRequest& request) {
        const CaptionFont caption = CreateCaptionFont(request, dc_);
        font_ = caption.font;
        previousFont_ = caption.previous;
    }
    // The caption font's metrics, read on first use while that font is selected.
    const TEXTMETRICA& Metrics() {
        if (!metricsRead_) {
            dc_.GetTextMetricsA(metrics_);
            metricsRead_ = true;
        }
        return metrics_;
    }

    void CreateBarObjects(COLORREF color) {
        barBrush_ = dc_.CreateSolidBrush(color);
        barPen_ = dc_.CreatePen(PS_SOLID, 1, color);
        dc_.SelectObject(barBrush_);
        dc_.SelectObject(barPen_);
    }

private:
    DeviceContext& dc_;
    HGDIOBJ font_ = 0;
    HGDIOBJ previousFont_ = 0;
    TEXTMETRICA metrics_;
    bool metricsRead_ = false;
    HGDIOBJ barBrush_ = 0;
    HGDIOBJ barPen_ = 0;
};

// Fills the painted area with the background colour: null pen, so the interior alone.
void PaintBackground(DeviceContext& dc, const RECT& area, COLORREF color) {
    const std::int32_t right = Add32(area.right, 2);
    const HGDIOBJ brush = dc.CreateSolidBrush(color);
    ScopeExit release([&] {
        dc.SelectObject(dc.GetStockObject(BLACK_PEN));
        dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
        dc.DeleteObject(brush);
    });
    dc.SelectObject(brush);
    dc.SelectObject(dc.GetStockObject(NULL_PEN));
    dc.Rectangle(area.left, area.top, right, area.bottom);
}

} // namespace

Code128Extent MeasureCode128(const BarcodeRequest& request, DeviceContext& dc,
                             Code128Sequence& sequence) {
    sequence.clear();
    dc.SelectObject(dc.GetStockObject(NULL_BRUSH));
    dc.SelectObject(dc.GetStockObject(NULL_PEN));
    ScopeExit restore([&] {
        dc.SelectObject(dc.GetStockObject(WHITE_BRUSH));
        dc.SelectObject(dc.GetStockObject(BLACK_PEN));
    });
    if (request.Orientation != 0 || request.Text.empty())
        return {};
    sequence = EncodeCode128(request.Text, request.CheckCharacter);
    return MeasureCode128Sequence(request, sequence);
}

Code128Extent MeasureCode128Sequence(const BarcodeRequest& request,
                                     const Code128Sequence& sequence) {
    // A walk without painting only has to do the arithmetic: it overflows exactly where the
    // painting pass would.
    const std::int32_t endX = WalkSymbols(sequence, request.Left, ModuleWidthOf(request),
                                          [](std::int32_t, std::int32_t) {});
    return {request.BarHeight, Sub32(endX, request.Left)};
}

Code128Extent MeasureCode128(const BarcodeRequest& request, DeviceContext& dc) {
    Code128Sequence sequence;
    return MeasureCode128(request, dc, sequence);
}

Code128Painting PaintCode128(const BarcodeRequest& request, DeviceContext& dc,
                             const Code128Sequence& sequence, Code128Extent measured) {
    PaintObjects objects(dc);
    objects.CreateCaption(request);

    const std::int32_t symbolWidth = measured.Width;
    const std::string caption = ToAnsi(request.Caption);
    CaptionExtent extent;
    if (!caption.empty()) {
        // A caption that cannot be painted is a failure, not a symbol quietly without it.
        if (const std::string problem = dc.SelectedFontProblem(); !problem.empty())
            throw RuntimeError(err::kFileNotFound, "no font for the caption: " + problem);
        extent = MeasureCaption(caption, dc);
    }
    // When the caption cannot be measured it gets no room and is not drawn.
    const bool withCaption = extent.ok;
    const std::int32_t cx = extent.size.cx;
    const std::int32_t cy = extent.size.cy;
    const bool captionWider = withCaption && cx > symbolWidth;
    // Without a caption the font is never asked for anything, so no face is looked up.
    const TEXTMETRICA tm = withCaption ? objects.Metrics() : TEXTMETRICA{};

    RECT area;
    area.left = request.Left;
    area.top = request.Top;
    if (!withCaption) {
        area.right = Add32(request.Left, symbolWidth);
        area.bottom = Add32(Add32(request.Top, measured.Height), 1);
    } else {
        area.right = captionWider ? WideCaptionRight(request.Left, cx, tm.tmInternalLeading)
                                  : Add32(request.Left, symbolWidth);
        const std::int32_t band = request.CaptionPosition == kCaptionBottom ? tm.tmHeight : cy;
        area.bottom =
            Add32(Add32(Add32(Add32(request.Top, request.BarHeight), request.CaptionGap), 2), band);
    }
    PaintBackground(dc, area, request.BackColor);

    objects.CreateBarObjects(request.BarColor);
    dc.SetTextColor(request.CaptionColor);
    dc.SetBkMode(TRANSPARENT);
    if (request.Orientation != 0)
        return {};

    std::int32_t yTop = request.Top;
    if (withCaption && request.CaptionPosition == kCaptionTop)
        yTop = Add32(Add32(Add32(request.Top, cy), request.CaptionGap), 1);
    std::int32_t x = request.Left;
    if (captionWider) {
        const std::int32_t spare = Sub32(Sub32(area.right, area.left), symbolWidth);
        x = CLng(static_cast<double>(area.left) + static_cast<double>(spare) / 2.0);
    }
    const std::int32_t barBottom = Add32(yTop, request.BarHeight);
    const std::int32_t endX = WalkSymbols(
        sequence, x, ModuleWidthOf(request),
        [&](std::int32_t left, std::int32_t right) { dc.Rectangle(left, yTop, right, barBottom); });

    if (withCaption) {
        CaptionLayout layout;
        layout.symbolWidth = symbolWidth;
        layout.extent = extent.size;
        layout.yTop = yTop;
        layout.endX = endX;
        layout.internalLeading = tm.tmInternalLeading;
        DrawCaption(request, caption, dc, layout);
    }
    return {Sub32(area.right, area.left), Sub32(area.bottom, area.top)};
}

} // namespace quillion
