// SVG is a small text format: written here by hand, so the renderer loads no XML library.
#include "svg_writer.h"

#include "label_size.h"
#include "runtime/ansi.h"

#include <algorithm>
#include <cstdio>

namespace quillion::library {
namespace {

void AppendNumber(std::string& out, std::int64_t v) {
    out += std::to_string(v);
}

void AppendColour(std::string& out, std::uint32_t rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", unsigned(rgb & 0xFFFFFFu));
    out += buf;
}

// A fill attribute's value for a painted pixel in the label's colours, with its opacity after
// the closing quote when it is not opaque.
void AppendPaint(std::string& out, Pixel painted, const LabelFinish& look) {
    const Pixel p =
        look.Recolours() ? Recolour(painted, look.foreground, look.background) : painted;
    AppendColour(out, p);
    if (look.HasAlpha() && (p >> 24) != 0xFF) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "\" fill-opacity=\"%.4g", (p >> 24) / 255.0);
        out += buf;
    }
}

// A Windows-1252 byte as XML character data; "" for the control characters XML 1.0 cannot hold.
std::string XmlCharacter(unsigned char byte) {
    switch (byte) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    default:
        break;
    }
    const char32_t c = AnsiToUnicode(byte);
    if (c < 0x20)
        return {};
    return Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c)));
}

// An attribute value: the family names in quotes, each safe inside a double-quoted attribute.
std::string FamilyList(const Font& font) {
    std::string list;
    for (const std::string& name : {font.FamilyName(), font.Key().face}) {
        if (name.empty() || list.find("'" + name + "'") != std::string::npos)
            continue;
        std::string safe;
        for (const char ch : name)
            if (ch != '\'' && ch != '"' && ch != '&' && ch != '<' && ch != '>')
                safe += ch;
        list += (list.empty() ? "'" : ", '") + safe + "'";
    }
    return list.empty() ? "sans-serif" : list;
}

// A rect element's position and size attributes.
void AppendBox(std::string& out, const PixelBox& b) {
    out += "<rect x=\"";
    AppendNumber(out, b.left);
    out += "\" y=\"";
    AppendNumber(out, b.top);
    out += "\" width=\"";
    AppendNumber(out, b.right - b.left);
    out += "\" height=\"";
    AppendNumber(out, b.bottom - b.top);
    out += '"';
}

void AppendFill(std::string& out, const PaintedFill& fill, const PixelBox& picture,
                const LabelFinish& look) {
    const PixelBox b = Intersect(fill.box, picture);
    if (b.Empty())
        return;
    AppendBox(out, b);
    out += " fill=\"";
    AppendPaint(out, fill.pixel, look);
    out += "\"/>\n";
}

// A character XML cannot hold (a control character, which the font paints as its missing-glyph
// box) as the rectangles of the pixels the painter gave it, row run by row run, inside clip.
void AppendGlyphPixels(std::string& out, const PaintedText& text, unsigned char byte,
                       std::int64_t pen, const PixelBox& clip, const LabelFinish& look) {
    const Font& font = *text.font;
    const int margin = font.Metrics().height; // room for ink beyond the advance
    Image glyph(font.Advance(byte) + 2 * margin, font.Metrics().height, 0);
    font.Draw(glyph, margin, 0, std::string_view(reinterpret_cast<const char*>(&byte), 1),
              text.color, 0, TextClip{});
    const Pixel ink = ToPixel(text.color);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width;) {
            if (glyph.At(x, y) != ink) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < glyph.width && glyph.At(x, y) == ink)
                ++x;
            const std::int64_t left = pen - margin;
            AppendFill(
                out, PaintedFill{PixelBox{left + start, text.y + y, left + x, text.y + y + 1}, ink},
                clip, look);
        }
}

// The text's characters at their painted pen positions, each in a tspan of its own (renderers
// such as librsvg 2.54 take only the first of several x positions); a clip path when its clip
// rectangle cuts the text cell.
void AppendText(std::string& out, const PaintedText& text, const PixelBox& picture, int& clipCount,
                const LabelFinish& look) {
    const Font& font = *text.font;
    const FontMetrics& m = font.Metrics();
    const PixelBox clip = Intersect(
        PixelBox{text.clip.left, text.clip.top, text.clip.right, text.clip.bottom}, picture);
    std::string chars;
    std::int64_t pen = text.x;
    for (const char ch : text.ansi) {
        const auto byte = static_cast<unsigned char>(ch);
        const std::string xml = XmlCharacter(byte);
        if (xml.empty()) {
            AppendGlyphPixels(out, text, byte, pen, clip, look);
        } else {
            chars += "<tspan x=\"";
            AppendNumber(chars, pen);
            chars += "\">" + xml + "</tspan>";
        }
        pen += font.Advance(byte) + text.charExtra;
    }
    if (chars.empty())
        return;
    const PixelBox cell{text.x, text.y, pen, text.y + m.height};
    const PixelBox inside = Intersect(cell, clip);
    if (inside.Empty())
        return;
    std::string clipAttribute;
    if (inside.left != cell.left || inside.top != cell.top || inside.right != cell.right ||
        inside.bottom != cell.bottom) {
        const std::string id = "clip" + std::to_string(++clipCount);
        out += "<clipPath id=\"" + id + "\">";
        AppendBox(out, clip);
        out += "/></clipPath>\n";
        clipAttribute = " clip-path=\"url(#" + id + ")\"";
    }
    const FontKey& key = font.Key();
    out += "<text xml:space=\"preserve\" y=\"";
    AppendNumber(out, text.y + m.ascent);
    out += "\" font-family=\"" + FamilyList(font) + "\" font-size=\"";
    AppendNumber(out, key.pixelHeight);
    out += "\"";
    if (key.weight >= 700)
        out += " font-weight=\"bold\"";
    if (key.italic)
        out += " font-style=\"italic\"";
    if (key.underline || key.strikeout)
        out += std::string(" text-decoration=\"") + (key.underline ? "underline" : "") +
               (key.underline && key.strikeout ? " " : "") + (key.strikeout ? "line-through" : "") +
               "\"";
    out += " fill=\"";
    AppendPaint(out, ToPixel(text.color), look);
    out += "\"" + clipAttribute + ">" + chars + "</text>\n";
}

// A size attribute: pixels times the scale, or millimetres at dpi.
void AppendSize(std::string& out, std::int64_t pixels, int scale, double dpi) {
    if (dpi <= 0) {
        AppendNumber(out, pixels * scale);
        return;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.4fmm", PixelsToMillimetres(double(pixels), dpi));
    out += buf;
}

// The group's transform that puts the picture inside the finished one: moved by the sides,
// then turned about the finished picture's corner.
std::string Transform(const LabelFinish& look, int width, int height) {
    const std::int64_t w = std::int64_t{width} + look.left + look.right;
    const std::int64_t h = std::int64_t{height} + look.top + look.bottom;
    std::string t;
    switch (look.rotation) {
    case 90:
        t = "translate(" + std::to_string(h) + " 0) rotate(90) ";
        break;
    case 180:
        t = "translate(" + std::to_string(w) + ' ' + std::to_string(h) + ") rotate(180) ";
        break;
    case 270:
        t = "translate(0 " + std::to_string(w) + ") rotate(270) ";
        break;
    default:
        break;
    }
    return t + "translate(" + std::to_string(look.left) + ' ' + std::to_string(look.top) + ')';
}

} // namespace

namespace {

// The XML declaration, the svg element and the background.
void AppendHead(std::string& out, int width, int height, int scale, const LabelFinish& look,
                double dpi) {
    const auto [finishedWidth, finishedHeight] = FinishedSize(width, height, look);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    AppendSize(out, finishedWidth, scale, dpi);
    out += "\" height=\"";
    AppendSize(out, finishedHeight, scale, dpi);
    out += "\" viewBox=\"0 0 ";
    AppendNumber(out, finishedWidth);
    out += ' ';
    AppendNumber(out, finishedHeight);
    out += "\" shape-rendering=\"crispEdges\">\n";
    const PixelBox whole{0, 0, finishedWidth, finishedHeight};
    AppendFill(out, PaintedFill{whole, ToPixel(kWhite)}, whole, look);
}

} // namespace

std::string EncodeSvg(const PaintRecord& record, int width, int height, int scale, std::string& out,
                      const LabelFinish& look, double dpi) {
    out.clear();
    if (!record.complete)
        return "the picture holds pixels that were not painted as shapes or text";
    if (width <= 0 || height <= 0)
        return "the picture has no pixels";
    const PixelBox picture{0, 0, width, height};
    AppendHead(out, width, height, scale, look, dpi);
    const bool grouped = look.Pads() || look.Turns();
    if (grouped)
        out += "<g transform=\"" + Transform(look, width, height) + "\">\n";
    int clipCount = 0;
    for (const PaintOperation& op : record.operations) {
        if (const auto* fill = std::get_if<PaintedFill>(&op))
            AppendFill(out, *fill, picture, look);
        else
            AppendText(out, std::get<PaintedText>(op), picture, clipCount, look);
    }
    if (grouped)
        out += "</g>\n";
    out += "</svg>\n";
    return {};
}

std::string EncodeSymbolSvg(const std::vector<PixelBox>& dark,
                            const std::vector<PaintedText>& texts, int width, int height, int scale,
                            std::string& out, const LabelFinish& look, double dpi) {
    out.clear();
    if (width <= 0 || height <= 0)
        return "the picture has no pixels";
    const PixelBox picture{0, 0, width, height};
    AppendHead(out, width, height, scale, look, dpi);
    const bool grouped = look.Pads() || look.Turns();
    if (grouped)
        out += "<g transform=\"" + Transform(look, width, height) + "\">\n";
    if (!dark.empty()) {
        // One path: bars never overlap, so nothing relies on painting over anything.
        out += "<path d=\"";
        for (const PixelBox& raw : dark) {
            const PixelBox b = Intersect(raw, picture);
            if (b.Empty())
                continue;
            out += 'M';
            AppendNumber(out, b.left);
            out += ' ';
            AppendNumber(out, b.top);
            out += 'h';
            AppendNumber(out, b.right - b.left);
            out += 'v';
            AppendNumber(out, b.bottom - b.top);
            out += 'h';
            AppendNumber(out, b.left - b.right);
            out += 'z';
        }
        out += "\" fill=\"";
        AppendPaint(out, ToPixel(kBlack), look);
        out += "\"/>\n";
    }
    int clipCount = 0;
    for (const PaintedText& text : texts)
        AppendText(out, text, picture, clipCount, look);
    if (grouped)
        out += "</g>\n";
    out += "</svg>\n";
    return {};
}

} // namespace quillion::library
