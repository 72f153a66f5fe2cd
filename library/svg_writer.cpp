// SVG is a small text format: written here by hand, so the renderer loads no XML library.
#include "svg_writer.h"

#include "runtime/ansi.h"

#include <algorithm>
#include <cstdio>

namespace quillion::cli {
namespace {

void AppendNumber(std::string& out, std::int64_t v) {
    out += std::to_string(v);
}

void AppendColour(std::string& out, std::uint32_t rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", unsigned(rgb & 0xFFFFFFu));
    out += buf;
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

void AppendFill(std::string& out, const PaintedFill& fill, const PixelBox& picture) {
    const PixelBox b = Intersect(fill.box, picture);
    if (b.Empty())
        return;
    AppendBox(out, b);
    out += " fill=\"";
    AppendColour(out, fill.pixel);
    out += "\"/>\n";
}

// A character XML cannot hold (a control character, which the font paints as its missing-glyph
// box) as the rectangles of the pixels the painter gave it, row run by row run, inside clip.
void AppendGlyphPixels(std::string& out, const PaintedText& text, unsigned char byte,
                       std::int64_t pen, const PixelBox& clip) {
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
                clip);
        }
}

// The text's characters at their painted pen positions, each in a tspan of its own (renderers
// such as librsvg 2.54 take only the first of several x positions); a clip path when its clip
// rectangle cuts the text cell.
void AppendText(std::string& out, const PaintedText& text, const PixelBox& picture,
                int& clipCount) {
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
            AppendGlyphPixels(out, text, byte, pen, clip);
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
    AppendColour(out, ToPixel(text.color));
    out += "\"" + clipAttribute + ">" + chars + "</text>\n";
}

} // namespace

std::string EncodeSvg(const PaintRecord& record, int width, int height, int scale,
                      std::string& out) {
    out.clear();
    if (!record.complete)
        return "the picture holds pixels that were not painted as shapes or text";
    if (width <= 0 || height <= 0)
        return "the picture has no pixels";
    const PixelBox picture{0, 0, width, height};
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    AppendNumber(out, std::int64_t{width} * scale);
    out += "\" height=\"";
    AppendNumber(out, std::int64_t{height} * scale);
    out += "\" viewBox=\"0 0 ";
    AppendNumber(out, width);
    out += ' ';
    AppendNumber(out, height);
    out += "\" shape-rendering=\"crispEdges\">\n";
    AppendFill(out, PaintedFill{picture, ToPixel(kWhite)}, picture);
    int clipCount = 0;
    for (const PaintOperation& op : record.operations) {
        if (const auto* fill = std::get_if<PaintedFill>(&op))
            AppendFill(out, *fill, picture);
        else
            AppendText(out, std::get<PaintedText>(op), picture, clipCount);
    }
    out += "</svg>\n";
    return {};
}

} // namespace quillion::cli
