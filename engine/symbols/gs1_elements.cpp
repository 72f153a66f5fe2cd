#include "symbols/gs1_elements.h"

#include "runtime/ansi.h"
#include "symbols/gs1_ai_table.h"
#include "symbols/gs1_digital_link.h"
#include "symbols/gs1_lint.h"

#include <algorithm>
#include <map>

namespace quillion {

const Gs1AiEntry* FindGs1Ai(std::string_view ai) {
    const auto it =
        std::lower_bound(kGs1AiTable.begin(), kGs1AiTable.end(), ai,
                         [](const Gs1AiEntry& e, std::string_view a) { return e.ai < a; });
    return it != kGs1AiTable.end() && it->ai == ai ? &*it : nullptr;
}

std::string QuoteForMessage(std::u16string_view text, std::size_t limit) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (shown == limit) {
            out += "...";
            break;
        }
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        ++shown;
        const auto hex = [](char32_t v, int digits) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string h;
            for (int d = digits - 1; d >= 0; --d)
                h += kHex[(v >> (4 * d)) & 0xF];
            return h;
        };
        if (c < 0x20 || c == 0x7F)
            out += "\\x" + hex(c, 2);
        else if (c < 0x7F)
            out += static_cast<char>(c);
        else if ((c >= 0x80 && c <= 0x9F) || (c >= 0xD800 && c <= 0xDFFF) ||
                 (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
                 (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF || c == 0xAD ||
                 (c >= 0xFFF9 && c <= 0xFFFF))
            out += "\\u{" + hex(c, c > 0xFFFF ? 6 : 4) + "}";
        else {
            const char16_t units[2] = {
                static_cast<char16_t>(c > 0xFFFF ? 0xD800 + ((c - 0x10000) >> 10) : c),
                static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
            out += Utf16ToUtf8(std::u16string_view(units, c > 0xFFFF ? 2 : 1));
        }
    }
    return out;
}

namespace {

struct RawElement {
    std::u16string ai, data;
};

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::string Ascii(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (const char16_t c : s)
        out += static_cast<char>(c);
    return out;
}

std::string ElementName(std::u16string_view ai, std::u16string_view data) {
    std::string name = "GS1 element (";
    name += QuoteForMessage(ai, 8);
    name += ')';
    if (!data.empty()) {
        name += ' ';
        name += QuoteForMessage(data);
    }
    return name;
}

std::string Plural(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

const char* SetName(char set) {
    switch (set) {
    case 'X':
        return "GS1 character set 82";
    case 'Y':
        return "GS1 character set 39";
    case 'Z':
        return "GS1 character set 64";
    default:
        return "the digits";
    }
}

// Why the data breaks the entry's components, "" when it keeps them.
std::string DataProblem(const Gs1AiEntry& entry, std::u16string_view data) {
    std::size_t min = 0, max = 0;
    bool numeric = true;
    for (std::size_t k = 0; k < entry.componentCount; ++k) {
        const Gs1Component& c = entry.components[k];
        if (!c.optional)
            min += c.minLength;
        max += c.maxLength;
        numeric = numeric && c.cset == 'N';
    }
    const char* what = numeric ? "digit" : "character";
    const std::size_t n = data.size();
    if (n == 0)
        return "has no data";
    if (n < min || n > max) {
        if (min == max)
            return "needs " + Plural(min, what) + ", not " + std::to_string(n);
        if (n > max)
            return "takes at most " + Plural(max, what) + ", not " + std::to_string(n);
        return "needs at least " + Plural(min, what) + ", not " + std::to_string(n);
    }
    std::size_t at = 0;
    for (std::size_t k = 0; k < entry.componentCount; ++k) {
        const Gs1Component& c = entry.components[k];
        if (at == n && c.optional)
            break;
        const std::size_t len =
            c.minLength == c.maxLength ? c.maxLength : std::min(n - at, std::size_t(c.maxLength));
        if (n - at < len)
            return "part " + std::to_string(k + 1) + " needs " + Plural(len, what) + ", not " +
                   std::to_string(n - at);
        const std::u16string_view part = data.substr(at, len);
        for (const char16_t ch : part)
            if (!InGs1Set(c.cset, ch)) {
                const std::string shown = QuoteForMessage(std::u16string_view(&ch, 1));
                if (c.cset == 'N')
                    return "only digits are allowed, not \"" + shown + "\"";
                return "\"" + shown + "\" is not in " + SetName(c.cset);
            }
        const std::string ascii = Ascii(part);
        if (c.cset == 'Z') {
            const std::size_t pad = ascii.find('=');
            if (pad != std::string::npos &&
                (ascii.find_first_not_of('=', pad) != std::string::npos || ascii.size() - pad > 2))
                return "\"=\" may only pad the end of GS1 character set 64 data";
        }
        for (const Gs1Lint lint : c.lints)
            if (std::string why = Gs1LintProblem(lint, ascii); !why.empty())
                return why;
        at += len;
    }
    if (at != n)
        return "takes at most " + Plural(at, what) + ", not " + std::to_string(n);
    return {};
}

// The bracketed form: "(01)..." or "[01]...", "\(", "\[" and "\\" for literal characters.
std::string SplitBracketed(std::u16string_view text, std::vector<RawElement>& out) {
    const char16_t open = text.front(), close = open == u'(' ? u')' : u']';
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find(close, at + 1);
        if (end == std::u16string_view::npos)
            return std::string("GS1 data: \"") + static_cast<char>(open) + "\" without \"" +
                   static_cast<char>(close) + "\"";
        RawElement e;
        e.ai = text.substr(at + 1, end - at - 1);
        at = end + 1;
        while (at < text.size() && text[at] != open) {
            if (text[at] == u'\\') {
                if (at + 1 < text.size() &&
                    (text[at + 1] == u'(' || text[at + 1] == u'[' || text[at + 1] == u'\\')) {
                    e.data += text[at + 1];
                    at += 2;
                    continue;
                }
                return ElementName(e.ai, e.data) + ": \"\\\" escapes only \"(\", \"[\" and \"\\\" "
                                                   "(write \"\\\\\" for a backslash)";
            }
            e.data += text[at++];
        }
        out.push_back(std::move(e));
    }
    return {};
}

// The element string as a reader reports it: AIs and data, GS (0x1D) after every element of a
// length that is not predefined (a GS after any element is taken as a separator), optionally
// after a GS1 symbology identifier (]C1, ]e0, ]d2, ]Q3, ]J1).
std::string SplitPlain(std::u16string_view text, std::vector<RawElement>& out) {
    if (text.front() == u']') {
        const std::u16string_view id = text.substr(0, 3);
        if (id != u"]C1" && id != u"]e0" && id != u"]d2" && id != u"]Q3" && id != u"]J1")
            return "GS1 data: \"" + QuoteForMessage(id) + "\" is not a GS1 symbology identifier";
        text.remove_prefix(3);
    }
    std::size_t at = 0;
    while (at < text.size()) {
        const Gs1AiEntry* entry = nullptr;
        std::size_t aiLength = 2;
        for (; aiLength <= 4 && entry == nullptr; ++aiLength) {
            const std::u16string_view ai = text.substr(at, aiLength);
            if (ai.size() == aiLength && std::all_of(ai.begin(), ai.end(), IsDigit))
                entry = FindGs1Ai(Ascii(ai));
        }
        --aiLength;
        if (entry == nullptr)
            return "GS1 data: no application identifier at \"" +
                   QuoteForMessage(text.substr(at), 8) + "\"";
        RawElement e;
        e.ai = text.substr(at, aiLength);
        at += aiLength;
        std::size_t end = std::min(text.find(u'\x1D', at), text.size());
        if (entry->predefinedLength) {
            std::size_t length = 0;
            for (std::size_t k = 0; k < entry->componentCount; ++k)
                length += entry->components[k].maxLength;
            end = std::min(end, at + length);
        }
        e.data = text.substr(at, end - at);
        at = end < text.size() && text[end] == u'\x1D' ? end + 1 : end;
        out.push_back(std::move(e));
    }
    return {};
}

bool Matches(std::string_view pattern, std::string_view ai) {
    if (pattern.size() != ai.size())
        return false;
    for (std::size_t i = 0; i < ai.size(); ++i)
        if (pattern[i] != ai[i] && !(pattern[i] == 'n' && ai[i] >= '0' && ai[i] <= '9'))
            return false;
    return true;
}

std::vector<std::string_view> Split(std::string_view s, char by) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (from <= s.size()) {
        const std::size_t to = std::min(s.find(by, from), s.size());
        if (to > from)
            parts.emplace_back(s.substr(from, to - from));
        from = to + 1;
    }
    return parts;
}

std::string Shown(std::string_view pattern) {
    std::string out;
    for (const std::string_view ai : Split(pattern, '+'))
        out += (out.empty() ? "(" : " with (") + std::string(ai) + ")";
    return out;
}

// The message-wide rules: one value per AI, invalid pairs, mandatory associations.
std::string MessageProblem(std::vector<Gs1Element>& elements) {
    // At most one element per AI remains (a few hundred AIs), so the pair checks below stay
    // small whatever the text's length.
    std::map<std::string_view, std::string_view> seen;
    std::vector<Gs1Element> kept;
    for (const Gs1Element& e : elements) {
        const auto [it, added] = seen.emplace(e.ai, e.data);
        if (added) {
            kept.push_back(e);
            continue;
        }
        if (it->second != e.data)
            return "GS1 element (" + e.ai + ") appears twice with different values, " +
                   QuoteForMessage(Utf8ToUtf16(it->second)) + " and " +
                   QuoteForMessage(Utf8ToUtf16(e.data));
        // The same value again counts once.
    }
    elements = std::move(kept);
    const auto present = [&](std::string_view pattern, std::string_view self) {
        return std::any_of(elements.begin(), elements.end(), [&](const Gs1Element& e) {
            return e.ai != self && Matches(pattern, e.ai);
        });
    };
    for (const Gs1Element& e : elements) {
        const Gs1AiEntry& entry = *FindGs1Ai(e.ai);
        for (const std::string_view pattern : Split(entry.ex, ','))
            for (const Gs1Element& other : elements)
                if (other.ai != e.ai && Matches(pattern, other.ai))
                    return "GS1 elements (" + e.ai + ") and (" + other.ai +
                           ") cannot be in the same message";
    }
    for (const Gs1Element& e : elements) {
        const Gs1AiEntry& entry = *FindGs1Ai(e.ai);
        for (const std::string_view group : Split(entry.req, ' ')) {
            const auto alternatives = Split(group, ',');
            const bool met =
                std::any_of(alternatives.begin(), alternatives.end(), [&](std::string_view alt) {
                    const auto all = Split(alt, '+');
                    return std::all_of(all.begin(), all.end(),
                                       [&](std::string_view p) { return present(p, e.ai); });
                });
            if (met)
                continue;
            std::string need;
            for (std::size_t k = 0; k < alternatives.size(); ++k)
                need += (k == 0                         ? ""
                         : k + 1 == alternatives.size() ? " or "
                                                        : ", ") +
                        Shown(alternatives[k]);
            return "GS1 element (" + e.ai + ") needs " +
                   (alternatives.size() > 2 ? "one of " : "") + need + " in the same message";
        }
    }
    return {};
}

} // namespace

Gs1Parse ParseGs1(std::u16string_view text) {
    Gs1Parse parse;
    const auto fail = [&](std::string why) {
        Gs1Parse failed;
        failed.error = std::move(why);
        return failed;
    };
    std::vector<RawElement> raw;
    if (LooksLikeGs1DigitalLink(text)) {
        std::vector<std::pair<std::u16string, std::u16string>> pairs;
        if (std::string why = Gs1DigitalLinkElements(text, pairs); !why.empty())
            return fail(std::move(why));
        for (auto& [ai, data] : pairs)
            raw.push_back({std::move(ai), std::move(data)});
    } else if (!text.empty() && (IsDigit(text.front()) || text.front() == u']')) {
        if (std::string why = SplitPlain(text, raw); !why.empty())
            return fail(std::move(why));
    } else {
        if (text.empty() || (text.front() != u'(' && text.front() != u'['))
            return fail("GS1 data starts with an application identifier in brackets, as (01) or "
                        "[01], or is an element string as read (0109501101530003...) or a GS1 "
                        "Digital Link URI");
        if (std::string why = SplitBracketed(text, raw); !why.empty())
            return fail(std::move(why));
    }
    if (raw.empty())
        return fail("GS1 data: no element after the symbology identifier");
    for (const RawElement& e : raw) {
        const bool digits = !e.ai.empty() && std::all_of(e.ai.begin(), e.ai.end(), IsDigit);
        if (!digits || e.ai.size() < 2 || e.ai.size() > 4)
            return fail(ElementName(e.ai, {}) + ": an application identifier is 2 to 4 digits");
        const Gs1AiEntry* entry = FindGs1Ai(Ascii(e.ai));
        if (entry == nullptr)
            return fail(ElementName(e.ai, {}) + ": unknown application identifier");
        if (std::string why = DataProblem(*entry, e.data); !why.empty())
            return fail(ElementName(e.ai, e.data) + ": " + why);
        parse.elements.push_back({Ascii(e.ai), Ascii(e.data)});
    }
    if (std::string why = MessageProblem(parse.elements); !why.empty())
        return fail(std::move(why));
    for (std::size_t i = 0; i < parse.elements.size(); ++i) {
        const Gs1Element& e = parse.elements[i];
        for (const char c : e.ai + e.data)
            parse.units.push_back(static_cast<unsigned char>(c));
        parse.reading += e.ai + e.data;
        parse.hri += "(" + e.ai + ")" + e.data;
        parse.dataCharacters += e.ai.size() + e.data.size();
        if (i + 1 < parse.elements.size() && !FindGs1Ai(e.ai)->predefinedLength) {
            parse.units.push_back(kUnitFnc1);
            parse.reading += '\x1D';
        }
    }
    return parse;
}

std::string Gs1_128LengthProblem(const Gs1Parse& parse) {
    if (parse.dataCharacters <= 48)
        return {};
    return "GS1-128 holds at most 48 data characters (AIs and data), not " +
           std::to_string(parse.dataCharacters);
}

Gs1Forms DescribeGs1(std::u16string_view text) {
    Gs1Forms forms;
    const Gs1Parse parse = ParseGs1(text);
    if (!parse.error.empty()) {
        forms.error = parse.error;
        return forms;
    }
    forms.elementString = parse.reading;
    forms.hri = parse.hri;
    forms.digitalLink = Gs1DigitalLinkUri(parse, "https://id.gs1.org", &forms.digitalLinkNote);
    return forms;
}

} // namespace quillion
