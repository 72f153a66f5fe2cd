#include "fonts/glyph_cache.h"

#include "fonts/cache_files.h"
#include "fonts/font_libraries.h"

#include <cstdlib>
#include <link.h>
#include <tuple>
#include <vector>

namespace quillion {

namespace {

constexpr std::string_view kHeader = "quillion glyphs 2";
constexpr int kMaxBitmapSide = 4096;
constexpr int kMaxKeptPixelHeight = 4096;

// Whether a number kept for a font of this em height is one a face can give: no font measures
// or places anything many ems away, and a larger number could only overflow what uses it.
bool Plausible(std::int64_t value, int pixelHeight) {
    const std::int64_t bound = 8 * std::int64_t{pixelHeight} + 64;
    return value >= -bound && value <= bound;
}

auto MetricFields(const RenderedFont& f) {
    const FontMetrics& m = f.metrics;
    return std::make_tuple(m.ascent, m.descent, m.height, m.internalLeading, m.aveCharWidth,
                           m.maxCharWidth, m.weight, m.externalLeading, m.fixedPitch ? 1 : 0,
                           f.underlineTop, f.underlineSize, f.strikeTop, f.strikeSize);
}

std::string MetricsWord(const RenderedFont& f) {
    std::string word;
    std::apply([&](auto... v) { ((word += std::to_string(v) + ' '), ...); }, MetricFields(f));
    word.pop_back();
    return word;
}

bool ParseMetrics(std::string_view word, int pixelHeight, RenderedFont& f) {
    const std::vector<std::string_view> v = Split(word, ' ');
    int n[13] = {};
    if (v.size() != 13)
        return false;
    for (std::size_t i = 0; i < v.size(); ++i)
        if (!ToInt(v[i], n[i]) || (i != 6 && !Plausible(n[i], pixelHeight))) // 6: the weight
            return false;
    // The height is the ascent and descent; the weight one of two; the lines a pixel or more.
    if (n[2] != n[0] + n[1] || (n[6] != 400 && n[6] != 700) || (n[8] != 0 && n[8] != 1) ||
        n[10] < 1 || n[12] < 1)
        return false;
    FontMetrics& m = f.metrics;
    std::tie(m.ascent, m.descent, m.height, m.internalLeading, m.aveCharWidth, m.maxCharWidth,
             m.weight, m.externalLeading) =
        std::tie(n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
    m.fixedPitch = n[8] != 0;
    std::tie(f.underlineTop, f.underlineSize, f.strikeTop, f.strikeSize) =
        std::tie(n[9], n[10], n[11], n[12]);
    return true;
}

constexpr char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string GlyphLine(unsigned char byte, const Glyph& g) {
    std::string line = "G\t" + std::to_string(byte) + '\t' + std::to_string(g.advance) + ' ' +
                       std::to_string(g.left) + ' ' + std::to_string(g.top) + ' ' +
                       std::to_string(g.width) + ' ' + std::to_string(g.rows) + ' ' +
                       std::to_string(g.pitch) + '\t';
    for (const std::uint8_t b : g.bits) {
        line += kHex[b >> 4];
        line += kHex[b & 15];
    }
    return line;
}

bool ParseGlyph(const std::vector<std::string_view>& f, int pixelHeight, RenderedFont& font) {
    int byte = 0;
    Glyph g;
    const std::vector<std::string_view> n = Split(f[2], ' ');
    if (!ToInt(f[1], byte) || byte < 0 || byte > 255 || n.size() != 6 || !ToInt(n[0], g.advance) ||
        !ToInt(n[1], g.left) || !ToInt(n[2], g.top) || !ToInt(n[3], g.width) ||
        !ToInt(n[4], g.rows) || !ToInt(n[5], g.pitch))
        return false;
    if (g.rows < 0 || g.pitch < 0 || g.rows > kMaxBitmapSide || g.pitch > kMaxBitmapSide ||
        g.width < 0 || g.width > g.pitch * 8 ||
        f[3].size() != static_cast<std::size_t>(g.rows) * g.pitch * 2 ||
        !Plausible(g.advance, pixelHeight) || !Plausible(g.left, pixelHeight) ||
        !Plausible(g.top, pixelHeight) || !Plausible(g.width, pixelHeight) ||
        !Plausible(g.rows, pixelHeight))
        return false;
    g.bits.resize(f[3].size() / 2);
    for (std::size_t i = 0; i < g.bits.size(); ++i) {
        const int hi = HexDigit(f[3][2 * i]), lo = HexDigit(f[3][2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        g.bits[i] = static_cast<std::uint8_t>(hi << 4 | lo);
    }
    return font.glyphs.emplace(static_cast<unsigned char>(byte), std::move(g)).second;
}

} // namespace

bool RenderedFont::operator==(const RenderedFont& other) const {
    return MetricFields(*this) == MetricFields(other) && glyphs == other.glyphs;
}

KeptFonts GlyphCache::Load() const {
    std::string text;
    if (file_.empty() || program_.empty() || !ReadCacheFile(file_, text) || !Unseal(text) ||
        text.empty())
        return {};
    text.pop_back();
    const std::vector<std::string_view> lines = Split(text, '\n');
    if (lines.size() < 3 || lines.front() != kHeader || lines[1].substr(0, 2) != "B\t" ||
        lines[2] != "X\t" + program_)
        return {};
    KeptFonts fonts;
    KeptFont* current = nullptr;
    int currentHeight = 0;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::vector<std::string_view> f = Split(lines[i], '\t');
        if (f.size() == 4 && f[0] == "G" && current) {
            if (!ParseGlyph(f, currentHeight, current->font))
                return {};
            continue;
        }
        RenderedFontKey key;
        KeptFont kept;
        int embolden = 0;
        if (f.size() != 8 || f[0] != "F" || !ToInt(f[1], key.index) || !ToInt(f[2], embolden) ||
            !ToInt(f[3], key.pixelHeight) || key.pixelHeight < 1 ||
            key.pixelHeight > kMaxKeptPixelHeight || !ToInt(f[4], key.weight) ||
            (key.weight != 400 && key.weight != 700) ||
            !ParseMetrics(f[6], key.pixelHeight, kept.font))
            return {};
        currentHeight = key.pixelHeight;
        key.embolden = embolden != 0;
        key.path = f[7];
        kept.faceState = f[5];
        const auto [it, added] = fonts.emplace(std::move(key), std::move(kept));
        if (!added)
            return {};
        current = &it->second;
    }
    return fonts;
}

bool GlyphCache::Save(const KeptFonts& fonts) const {
    if (file_.empty() || program_.empty() || !Writable(program_))
        return false;
    const std::string& path = ProgramFile();
    if (!Writable(path))
        return false;
    std::string text(kHeader);
    // The program's path, so that a later run can tell when the program is gone.
    text += "\nB\t" + path + "\nX\t" + program_ + '\n';
    for (const auto& [key, kept] : fonts) {
        if (!Writable(key.path) || !Writable(kept.faceState) || key.path.empty())
            continue;
        text += "F\t" + std::to_string(key.index) + '\t' + (key.embolden ? "1" : "0") + '\t' +
                std::to_string(key.pixelHeight) + '\t' + std::to_string(key.weight) + '\t' +
                kept.faceState + '\t' + MetricsWord(kept.font) + '\t' + key.path + '\n';
        for (const auto& [byte, glyph] : kept.font.glyphs)
            text += GlyphLine(byte, glyph) + '\n';
    }
    return ReplaceFile(file_, Sealed(std::move(text)));
}

namespace {

// The shared libraries loaded with the program (or with the library this code is in), taken
// when it is loaded: not those a run opens on demand, which one run has and the next may not.
std::vector<std::string> ObjectsAtStart() {
    std::vector<std::string> names;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            if (info->dlpi_name && info->dlpi_name[0] == '/')
                static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
            return 0;
        },
        &names);
    return names;
}

const std::vector<std::string> objectsAtStart = ObjectsAtStart();

} // namespace

std::string ProgramState() {
    std::string state = StateOf("/proc/self/exe").word;
    if (state == "-")
        return {};
    // The shared libraries too (FreeType above all): an update to one renders differently.
    for (const std::string& name : objectsAtStart)
        state += ';' + StateOf(name).word;
    // FreeType loaded on demand is not loaded yet: its file as the loader would find it then,
    // and the variable that could make the loader find another.
    if (const char* file = FreeTypeFile()) {
        state += ';' + StateOf(file).word;
        if (const char* path = std::getenv("LD_LIBRARY_PATH"))
            state += std::string(";LD_LIBRARY_PATH=") + path;
    }
    return state;
}

std::string DefaultGlyphCacheFile() {
    const std::string folder = CacheFolder();
    const std::string& program = ProgramFile();
    if (folder.empty() || program.empty())
        return {};
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : program)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    std::string name = "/glyphs-0123456789abcdef"; // the digits' places
    PutHex16(hash, name.data() + 8);
    return folder + name;
}

} // namespace quillion
