#include "symbols/gs1_elements.h"

#include "runtime/ansi.h"
#include "symbols/upc_digits.h"

#include <algorithm>
#include <array>

namespace quillion {
namespace {

enum class Kind : std::uint8_t { Numeric, Alphanumeric, Date };

struct AiRule {
    std::string_view ai; // a trailing 'n' stands for any digit (decimal point position)
    Kind kind;
    int minLength;
    int maxLength;
    bool checkDigit = false; // the last digit is the GS1 check digit
};

// The common application identifiers of the GS1 General Specifications.
constexpr std::array<AiRule, 56> kRules = {{
    {"00", Kind::Numeric, 18, 18, true},
    {"01", Kind::Numeric, 14, 14, true},
    {"02", Kind::Numeric, 14, 14, true},
    {"10", Kind::Alphanumeric, 1, 20},
    {"11", Kind::Date, 6, 6},
    {"12", Kind::Date, 6, 6},
    {"13", Kind::Date, 6, 6},
    {"15", Kind::Date, 6, 6},
    {"16", Kind::Date, 6, 6},
    {"17", Kind::Date, 6, 6},
    {"20", Kind::Numeric, 2, 2},
    {"21", Kind::Alphanumeric, 1, 20},
    {"22", Kind::Alphanumeric, 1, 20},
    {"240", Kind::Alphanumeric, 1, 30},
    {"241", Kind::Alphanumeric, 1, 30},
    {"250", Kind::Alphanumeric, 1, 30},
    {"251", Kind::Alphanumeric, 1, 30},
    {"254", Kind::Alphanumeric, 1, 20},
    {"30", Kind::Numeric, 1, 8},
    {"310n", Kind::Numeric, 6, 6},
    {"311n", Kind::Numeric, 6, 6},
    {"312n", Kind::Numeric, 6, 6},
    {"313n", Kind::Numeric, 6, 6},
    {"314n", Kind::Numeric, 6, 6},
    {"315n", Kind::Numeric, 6, 6},
    {"316n", Kind::Numeric, 6, 6},
    {"320n", Kind::Numeric, 6, 6},
    {"330n", Kind::Numeric, 6, 6},
    {"37", Kind::Numeric, 1, 8},
    {"390n", Kind::Numeric, 1, 15},
    {"392n", Kind::Numeric, 1, 15},
    {"400", Kind::Alphanumeric, 1, 30},
    {"401", Kind::Alphanumeric, 1, 30},
    {"402", Kind::Numeric, 17, 17, true},
    {"403", Kind::Alphanumeric, 1, 30},
    {"410", Kind::Numeric, 13, 13, true},
    {"411", Kind::Numeric, 13, 13, true},
    {"412", Kind::Numeric, 13, 13, true},
    {"413", Kind::Numeric, 13, 13, true},
    {"414", Kind::Numeric, 13, 13, true},
    {"415", Kind::Numeric, 13, 13, true},
    {"416", Kind::Numeric, 13, 13, true},
    {"420", Kind::Alphanumeric, 1, 20},
    {"422", Kind::Numeric, 3, 3},
    {"7003", Kind::Numeric, 10, 10},
    {"8005", Kind::Numeric, 6, 6},
    {"8006", Kind::Numeric, 18, 18},
    {"8017", Kind::Numeric, 18, 18, true},
    {"8018", Kind::Numeric, 18, 18, true},
    {"8020", Kind::Alphanumeric, 1, 25},
    {"90", Kind::Alphanumeric, 1, 30},
    {"91", Kind::Alphanumeric, 1, 90},
    {"92", Kind::Alphanumeric, 1, 90},
    {"93", Kind::Alphanumeric, 1, 90},
    {"94", Kind::Alphanumeric, 1, 90},
    {"99", Kind::Alphanumeric, 1, 90},
}};

// Elements whose length the first two digits of the AI fix (GS1 General Specifications,
// predefined-length table): no FNC1 follows them.
constexpr std::array<std::string_view, 22> kPredefinedLength = {
    "00", "01", "02", "03", "04", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "31", "32", "33", "34", "35", "36", "41",
};

const AiRule* RuleOf(std::string_view ai) {
    for (const AiRule& rule : kRules) {
        if (rule.ai.size() != ai.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < ai.size() && same; ++i)
            same = rule.ai[i] == ai[i] || (rule.ai[i] == 'n' && ai[i] >= '0' && ai[i] <= '9');
        if (same)
            return &rule;
    }
    return nullptr;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// GS1 AI encodable character set 82.
bool IsSet82(char16_t c) {
    return IsDigit(c) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           std::u16string_view(u"!\"%&'()*+,-./:;<=>?_").find(c) != std::u16string_view::npos;
}

std::string Plural(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// Why an element's data breaks its rule; "" when it keeps it.
std::string CheckData(const AiRule& rule, std::u16string_view data) {
    const bool numeric = rule.kind != Kind::Alphanumeric;
    for (const char16_t c : data) {
        const auto shown = [&] { return Utf16ToUtf8(std::u16string_view(&c, 1)); };
        if (numeric && !IsDigit(c))
            return std::string("only digits are allowed, not \"").append(shown()).append("\"");
        if (!IsSet82(c))
            return std::string("\"").append(shown()).append("\" is not in the GS1 character set");
    }
    const auto n = data.size();
    const auto min = std::size_t(rule.minLength), max = std::size_t(rule.maxLength);
    if (n < min || n > max) {
        const char* what = numeric ? "digit" : "character";
        if (min == max)
            return "needs " + Plural(min, what) + ", not " + std::to_string(n);
        return n == 0 ? std::string("has no data")
                      : "takes at most " + Plural(max, what) + ", not " + std::to_string(n);
    }
    if (rule.kind == Kind::Date) {
        const int month = (data[2] - u'0') * 10 + (data[3] - u'0');
        const int day = (data[4] - u'0') * 10 + (data[5] - u'0');
        if (month < 1 || month > 12 || day > 31)
            return "not a date YYMMDD";
    }
    if (rule.checkDigit) {
        std::vector<int> digits;
        for (const char16_t c : data)
            digits.push_back(c - u'0');
        const int right = Gs1CheckDigit(std::span(digits).first(digits.size() - 1));
        if (right != digits.back())
            return "check digit must be " + std::to_string(right);
    }
    return {};
}

} // namespace

Gs1Parse ParseGs1(std::u16string_view text) {
    Gs1Parse parse;
    const auto fail = [&](std::string why) {
        parse.elements.clear();
        parse.units.clear();
        parse.reading.clear();
        parse.error = std::move(why);
        return parse;
    };
    if (text.empty() || text.front() != u'(')
        return fail("GS1 data starts with an application identifier in brackets, as (01)");
    parse.units.push_back(kUnitFnc1);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t close = text.find(u')', at);
        if (close == std::u16string_view::npos)
            return fail("GS1 data: \"(\" without \")\"");
        const std::u16string_view ai = text.substr(at + 1, close - at - 1);
        const std::string aiText = Utf16ToUtf8(ai);
        const bool digits = std::all_of(ai.begin(), ai.end(), IsDigit);
        const AiRule* rule = digits ? RuleOf(aiText) : nullptr;
        if (rule == nullptr)
            return fail("GS1 element (" + aiText + "): unknown application identifier");
        const std::size_t next = std::min(text.find(u'(', close), text.size());
        const std::u16string_view data = text.substr(close + 1, next - close - 1);
        if (const std::string why = CheckData(*rule, data); !why.empty())
            return fail("GS1 element (" + aiText + ") " + Utf16ToUtf8(data) + ": " + why);
        if (!parse.elements.empty() &&
            std::find(kPredefinedLength.begin(), kPredefinedLength.end(),
                      parse.elements.back().ai.substr(0, 2)) == kPredefinedLength.end()) {
            parse.units.push_back(kUnitFnc1);
            parse.reading.push_back('\x1D');
        }
        parse.elements.push_back({aiText, Utf16ToUtf8(data)});
        for (const char c : aiText + parse.elements.back().data)
            parse.units.push_back(static_cast<unsigned char>(c));
        parse.reading += aiText + parse.elements.back().data;
        at = next;
    }
    return parse;
}

} // namespace quillion
