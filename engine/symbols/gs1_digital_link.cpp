#include "symbols/gs1_digital_link.h"

#include "symbols/gs1_ai_table.h"
#include "symbols/gs1_elements.h"

#include <algorithm>

namespace quillion {
namespace {

constexpr std::string_view kPrefix = "GS1 Digital Link: ";

bool StartsNoCase(std::u16string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != static_cast<char16_t>(prefix[i]))
            return false;
    }
    return true;
}

bool AllDigits(std::u16string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::string Narrow(std::u16string_view s) {
    return std::string(s.begin(), s.end()); // ASCII only (checked by the caller)
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// Percent-decoding; false on a "%" without two hexadecimal digits.
bool Decode(std::u16string_view s, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != u'%') {
            out += s[i];
            continue;
        }
        const int hi = i + 1 < s.size() ? HexValue(s[i + 1]) : -1;
        const int lo = i + 2 < s.size() ? HexValue(s[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char16_t>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

std::vector<std::u16string_view> Split(std::u16string_view s, char16_t by) {
    std::vector<std::u16string_view> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t to = s.find(by, from);
        parts.push_back(s.substr(from, to == std::u16string_view::npos ? s.npos : to - from));
        if (to == std::u16string_view::npos)
            return parts;
        from = to + 1;
    }
}

std::vector<std::vector<std::string_view>> Alternatives(std::string_view dlpkey) {
    std::vector<std::vector<std::string_view>> out;
    if (dlpkey == "*")
        return out;
    std::size_t from = 0;
    while (from <= dlpkey.size()) {
        const std::size_t to = std::min(dlpkey.find('|', from), dlpkey.size());
        std::vector<std::string_view> seq;
        const std::string_view alt = dlpkey.substr(from, to - from);
        std::size_t f = 0;
        while (f <= alt.size()) {
            const std::size_t t = std::min(alt.find(',', f), alt.size());
            seq.push_back(alt.substr(f, t - f));
            f = t + 1;
        }
        out.push_back(seq);
        from = to + 1;
    }
    return out;
}

std::string Percent(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~')
            out += c;
        else {
            out += '%';
            out += kHex[static_cast<unsigned char>(c) >> 4];
            out += kHex[static_cast<unsigned char>(c) & 15];
        }
    }
    return out;
}

} // namespace

bool LooksLikeGs1DigitalLink(std::u16string_view text) {
    return StartsNoCase(text, "http://") || StartsNoCase(text, "https://");
}

std::string Gs1DigitalLinkElements(std::u16string_view uri,
                                   std::vector<std::pair<std::u16string, std::u16string>>& out) {
    const auto fail = [](std::string why) { return std::string(kPrefix) + why; };
    for (const char16_t c : uri)
        if (c <= 0x20 || c >= 0x7F)
            return fail(
                "a URI holds only printable ASCII characters (percent-encode the others), not \"" +
                QuoteForMessage(std::u16string_view(&c, 1)) + "\"");
    std::u16string_view rest = uri.substr(uri.find(u"://") + 3);
    rest = rest.substr(0, std::min(rest.find(u'#'), rest.size()));
    const std::size_t slash = std::min(rest.find(u'/'), rest.size());
    const std::size_t question = std::min(rest.find(u'?'), rest.size());
    if (std::min(slash, question) == 0)
        return fail("the URI has no domain");
    if (question < slash)
        return fail("no primary key in the path");
    const std::u16string_view path = rest.substr(slash, question - slash);
    const std::u16string_view query = question < rest.size() ? rest.substr(question + 1) : u"";
    std::vector<std::u16string_view> segments =
        Split(path.substr(std::min<std::size_t>(1, path.size())), u'/');
    if (!segments.empty() && segments.back().empty())
        segments.pop_back(); // a trailing "/"

    // The primary key: the first AI with a Digital Link role from which the segments pair up.
    std::size_t key = segments.size();
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!AllDigits(segments[i]) || (segments.size() - i) % 2 != 0)
            continue;
        const Gs1AiEntry* entry = FindGs1Ai(Narrow(segments[i]));
        if (entry != nullptr && !entry->dlpkey.empty()) {
            key = i;
            break;
        }
    }
    if (key == segments.size())
        return fail("no primary key in the path (as /01/09501101530003)");
    const std::string keyAi = Narrow(segments[key]);
    const Gs1AiEntry& keyEntry = *FindGs1Ai(keyAi);
    const auto alternatives = Alternatives(keyEntry.dlpkey);

    std::vector<std::string> qualifiers;
    for (std::size_t i = key; i < segments.size(); i += 2) {
        const std::string ai = Narrow(segments[i]);
        if (i > key) {
            if (!AllDigits(segments[i]) || FindGs1Ai(ai) == nullptr)
                return fail("unknown key \"" + QuoteForMessage(segments[i]) + "\" in the path");
            const bool known =
                std::any_of(alternatives.begin(), alternatives.end(), [&](const auto& seq) {
                    return std::find(seq.begin(), seq.end(), ai) != seq.end();
                });
            if (!known)
                return fail("(" + ai + ") is not a qualifier of (" + keyAi + ") in the path");
            qualifiers.push_back(ai);
        }
        std::u16string value;
        if (!Decode(segments[i + 1], value))
            return fail("(" + ai + ") has a \"%\" without two hexadecimal digits");
        if (value.empty())
            return fail("(" + ai + ") has no value");
        if (ai == "01" && AllDigits(value) &&
            (value.size() == 8 || value.size() == 12 || value.size() == 13))
            value.insert(0, 14 - value.size(), u'0'); // GTIN-8, -12 and -13 as 14 digits
        out.emplace_back(std::u16string(segments[i]), std::move(value));
    }
    // The qualifiers: all from one of the key's sequences, in its order.
    if (!qualifiers.empty()) {
        bool fits = false;
        std::string order;
        for (const auto& seq : alternatives) {
            std::vector<std::size_t> at;
            for (const std::string& q : qualifiers) {
                const auto it = std::find(seq.begin(), seq.end(), q);
                at.push_back(it == seq.end() ? seq.size() : std::size_t(it - seq.begin()));
            }
            if (std::find(at.begin(), at.end(), seq.size()) != at.end())
                continue;
            for (std::size_t k = 1; k < at.size() && order.empty(); ++k)
                if (at[k] <= at[k - 1])
                    order = "qualifier (" + qualifiers[k] + ") must come before (" +
                            qualifiers[k - 1] + ") after (" + keyAi + ")";
            if (order.empty())
                fits = true;
        }
        if (!fits)
            return fail(!order.empty()
                            ? order
                            : "qualifiers (" + qualifiers.front() + ") and (" + qualifiers.back() +
                                  ") of (" + keyAi + ") cannot be used together");
    }
    // The attributes: query parameters whose keys are AIs; any other parameter is ignored.
    for (const std::u16string_view param : Split(query, u'&')) {
        const std::size_t eq = param.find(u'=');
        const std::u16string_view name = param.substr(0, eq);
        if (!AllDigits(name) || name.size() < 2 || name.size() > 4)
            continue;
        const Gs1AiEntry* entry = FindGs1Ai(Narrow(name));
        if (entry == nullptr)
            continue;
        if (!entry->dlAttribute)
            return fail(
                "(" + Narrow(name) + ") may not be a query attribute" +
                (entry->dlpkey.empty() ? "" : " (it is a primary key: put it in the path)"));
        std::u16string value;
        if (eq == std::u16string_view::npos || !Decode(param.substr(eq + 1), value))
            return fail("(" + Narrow(name) +
                        ") has no value or a \"%\" without two hexadecimal digits");
        if (value.empty())
            return fail("(" + Narrow(name) + ") has no value");
        out.emplace_back(std::u16string(name), std::move(value));
    }
    return {};
}

std::string Gs1DigitalLinkUri(const Gs1Parse& parse, std::string_view domain, std::string* why) {
    const auto fail = [&](std::string reason) {
        if (why != nullptr)
            *why = std::move(reason);
        return std::string();
    };
    if (!parse.error.empty() || parse.elements.empty())
        return fail("no valid GS1 data");
    const auto keyIt =
        std::find_if(parse.elements.begin(), parse.elements.end(),
                     [](const Gs1Element& e) { return !FindGs1Ai(e.ai)->dlpkey.empty(); });
    if (keyIt == parse.elements.end())
        return fail("no element is a GS1 Digital Link primary key (as (01), (00), (414), (8004))");
    const Gs1AiEntry& keyEntry = *FindGs1Ai(keyIt->ai);
    const auto has = [&](std::string_view ai) {
        return std::any_of(parse.elements.begin(), parse.elements.end(),
                           [&](const Gs1Element& e) { return e.ai == ai; });
    };
    // The key's qualifier sequence that carries the most of the message's elements.
    std::vector<std::string_view> path;
    for (const auto& seq : Alternatives(keyEntry.dlpkey)) {
        std::vector<std::string_view> present;
        for (const std::string_view q : seq)
            if (has(q))
                present.push_back(q);
        if (present.size() > path.size())
            path = present;
    }
    std::string uri(domain);
    while (!uri.empty() && uri.back() == '/')
        uri.pop_back();
    uri += "/" + keyIt->ai + "/" + Percent(keyIt->data);
    for (const std::string_view q : path)
        for (const Gs1Element& e : parse.elements)
            if (e.ai == q)
                uri += "/" + e.ai + "/" + Percent(e.data);
    char separator = '?';
    for (const Gs1Element& e : parse.elements) {
        if (&e == &*keyIt || std::find(path.begin(), path.end(), e.ai) != path.end())
            continue;
        if (!FindGs1Ai(e.ai)->dlAttribute)
            return fail("(" + e.ai +
                        ") cannot be carried by a GS1 Digital Link URI with primary key (" +
                        keyIt->ai + ")");
        uri += separator + e.ai + "=" + Percent(e.data);
        separator = '&';
    }
    if (why != nullptr)
        why->clear();
    return uri;
}

} // namespace quillion
