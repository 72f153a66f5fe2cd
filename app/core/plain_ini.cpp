#include "plain_ini.h"

#include "runtime/ansi.h"

#include <algorithm>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

namespace quillion {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// UTF-8 as it is: a U+FEFF at the start is a character, not a byte order mark to drop.
QString FromUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsHexDigit(char16_t c) {
    return c < 0x80 && HexValue(char(c)) >= 0;
}

// Text made of UTF-8 runs and single code units from escapes.
class TextBuilder {
public:
    void Byte(char c) { bytes_.append(c); }
    void Bytes(const char* data, qsizetype n) { bytes_.append(data, n); }
    void Unit(char16_t unit) {
        Flush();
        text_.append(QChar(unit));
    }
    QString Take() {
        Flush();
        QString out = std::move(text_);
        text_.clear();
        return out;
    }
    bool Empty() const { return bytes_.isEmpty() && text_.isEmpty(); }

private:
    void Flush() {
        if (!bytes_.isEmpty())
            text_.append(FromUtf8(bytes_));
        bytes_.clear();
    }
    QByteArray bytes_;
    QString text_;
};

// A key or section name: "%XX" and "%UXXXX" are characters, "\" is "/".
QString UnescapeKey(QByteArrayView raw) {
    TextBuilder out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\\') {
            out.Byte('/');
            continue;
        }
        const bool wide = c == '%' && i + 1 < raw.size() && raw[i + 1] == 'U';
        const qsizetype digits = wide ? 4 : 2;
        const qsizetype first = i + (wide ? 2 : 1);
        int value = 0;
        bool escaped = c == '%' && first + digits <= raw.size();
        for (qsizetype d = 0; escaped && d < digits; ++d) {
            const int h = HexValue(raw[first + d]);
            escaped = h >= 0;
            value = value * 16 + h;
        }
        if (!escaped) {
            out.Byte(c);
            continue;
        }
        out.Unit(char16_t(value));
        i = first + digits - 1;
    }
    return out.Take();
}

// One element of a value: unquoted blanks at either end are not part of it.
class Element {
public:
    void Literal(char c, bool quoted) {
        if (!quoted && (c == ' ' || c == '\t')) {
            if (started_)
                blanks_.append(c);
            return;
        }
        Start();
        text_.Byte(c);
    }
    void Unit(char16_t unit) {
        Start();
        text_.Unit(unit);
    }
    void Quoted() { Start(); }
    QString Take() {
        blanks_.clear();
        started_ = false;
        return text_.Take();
    }

private:
    void Start() {
        started_ = true;
        if (!blanks_.isEmpty())
            text_.Bytes(blanks_.constData(), blanks_.size());
        blanks_.clear();
    }
    TextBuilder text_;
    QByteArray blanks_;
    bool started_ = false;
};

char16_t NamedEscape(char c) {
    switch (c) {
    case 'a':
        return u'\a';
    case 'b':
        return u'\b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    default:
        return char16_t(static_cast<unsigned char>(c)); // \" \\ \' \? and unknown ones
    }
}

// A value: quotes, backslash escapes, elements between unquoted commas (a list reads back as
// its elements joined with ", "), a comment after an unquoted ';'.
QStringList UnescapeValue(QByteArrayView raw) {
    // Most values have nothing to unescape: one run of UTF-8.
    bool plain = true;
    for (const char c : raw) {
        if (c == '"' || c == '\\' || c == ',' || c == ';') {
            plain = false;
            break;
        }
    }
    if (plain)
        return {FromUtf8(raw)};
    QStringList elements;
    Element element;
    bool quoted = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
            element.Quoted();
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char e = raw[++i];
            if (e == 'x') {
                int value = 0;
                while (i + 1 < raw.size() && HexValue(raw[i + 1]) >= 0)
                    value = (value * 16 + HexValue(raw[++i])) & 0xFFFF;
                element.Unit(char16_t(value));
            } else if (e >= '0' && e <= '7') {
                int value = e - '0';
                while (i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7')
                    value = (value * 8 + (raw[++i] - '0')) & 0xFFFF;
                element.Unit(char16_t(value));
            } else {
                element.Unit(NamedEscape(e));
            }
        } else if (c == ',' && !quoted) {
            elements << element.Take();
        } else if (c == ';' && !quoted) {
            break;
        } else {
            element.Literal(c, quoted);
        }
    }
    elements << element.Take();
    return elements;
}

// A stored string, or nothing when the text names another type. QSettings writes "@@" for a
// leading "@", and "@String(...)" for a text that holds a NUL.
std::optional<QString> PlainString(const QString& element) {
    if (!element.startsWith(QLatin1Char('@')))
        return element;
    if (element.startsWith(QLatin1String("@@")))
        return element.mid(1);
    if (element.startsWith(QLatin1String("@String(")) && element.endsWith(QLatin1Char(')')))
        return element.sliced(8, element.size() - 9);
    return std::nullopt;
}

void EscapeKey(const QString& key, QByteArray& out) {
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(c >> shift) & 0xF];
        }
    }
}

void HexEscape(char16_t c, QByteArray& out) {
    out += "\\x";
    out += QByteArray::number(c, 16);
}

// Code units that need no escape (a character, or a surrogate pair) as their UTF-8 bytes.
void AppendUtf8(std::u16string_view units, QByteArray& out) {
    const std::string utf8 = Utf16ToUtf8(units);
    out.append(utf8.data(), qsizetype(utf8.size()));
}

void EscapeValue(const QString& value, QByteArray& out) {
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    const bool needsQuotes =
        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())) ||
        text.contains(QLatin1Char(';')) || text.contains(QLatin1Char(',')) ||
        text.contains(QLatin1Char('='));
    out.reserve(out.size() + text.size() + 2);
    if (needsQuotes)
        out += '"';
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    std::size_t(text.size()));
    bool escapeHexDigit = false; // after a \x escape, a hex digit would be read as part of it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        // U+FEFF is escaped too: a UTF-8 reader may take it for a byte order mark and drop it.
        const bool wasEscape = escapeHexDigit;
        escapeHexDigit = false;
        if (pair) {
            AppendUtf8(units.substr(std::size_t(i), 2), out);
            ++i;
        } else if (c == u'"' || c == u'\\') {
            out += '\\';
            out += char(c);
        } else if (c == u'\n' || c == u'\r' || c == u'\t') {
            out += c == u'\n' ? "\\n" : c == u'\r' ? "\\r" : "\\t";
        } else if (c < 0x20 || c == 0x7F || c == 0xFEFF || QChar::isSurrogate(c) ||
                   (wasEscape && IsHexDigit(c))) {
            HexEscape(c, out);
            escapeHexDigit = true;
        } else {
            AppendUtf8(units.substr(std::size_t(i), 1), out);
        }
    }
    if (needsQuotes)
        out += '"';
}

// The value of an entry's text, or nothing when it is not a plain string.
std::optional<QString> PlainValue(QByteArrayView rawValue) {
    QStringList values;
    for (const QString& element : UnescapeValue(rawValue.trimmed())) {
        std::optional<QString> plain = PlainString(element);
        if (!plain)
            return std::nullopt;
        values << std::move(*plain);
    }
    return values.join(QStringLiteral(", "));
}

bool IsSectionLine(QByteArrayView line) {
    return !line.isEmpty() && line.front() == '[';
}

QString SectionName(QByteArrayView line) {
    const qsizetype close = line.indexOf(']');
    return UnescapeKey(line.sliced(1, (close < 0 ? line.size() : close) - 1));
}

} // namespace

IniDocument IniDocument::Parse(QByteArrayView data, const QString& section) {
    IniDocument doc;
    doc.section_ = section;
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3); // a byte order mark before the first line
    bool inside = false;
    qsizetype at = 0;
    while (at < data.size()) {
        qsizetype end = at;
        while (end < data.size() && data[end] != '\n')
            ++end;
        const QByteArrayView whole = data.sliced(at, std::min(end + 1, data.size()) - at);
        const QByteArrayView line = data.sliced(at, end - at).trimmed();
        at = end + 1;
        if (IsSectionLine(line)) {
            inside = SectionName(line) == section;
            if (inside && !doc.found_) {
                doc.found_ = true;
                doc.insertAt_ = doc.other_.size();
            }
            if (inside)
                continue;
        }
        if (!inside) {
            doc.other_.append(whole);
            continue;
        }
        Entry entry;
        entry.raw = line.toByteArray();
        const qsizetype equals = line.indexOf('=');
        if (!line.isEmpty() && line.front() != ';' && line.front() != '#' && equals > 0) {
            entry.key = UnescapeKey(line.first(equals).trimmed());
            entry.value = PlainValue(line.sliced(equals + 1));
        }
        doc.entries_.push_back(std::move(entry));
    }
    if (!doc.other_.isEmpty() && !doc.other_.endsWith('\n'))
        doc.other_.append('\n');
    if (!doc.found_)
        doc.insertAt_ = doc.other_.size();
    return doc;
}

std::optional<QString> IniDocument::Value(const QString& key) const {
    // The last entry of a key counts, as a later line overrides an earlier one.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (!it->key.isEmpty() && it->key == key)
            return it->value;
    return std::nullopt;
}

void IniDocument::SetValue(const QString& key, const QString& value) {
    QByteArray raw;
    EscapeKey(key, raw);
    raw += '=';
    EscapeValue(value, raw);
    std::erase_if(entries_, [&](const Entry& e) { return e.key == key; });
    entries_.push_back({key, value, std::move(raw)});
}

QByteArray IniDocument::Serialize() const {
    QByteArray out;
    QByteArray body;
    body += '[';
    EscapeKey(section_, body);
    body += "]\n";
    for (const Entry& e : entries_) {
        if (e.raw.isEmpty())
            continue;
        body += e.raw;
        body += '\n';
    }
    out.reserve(other_.size() + body.size() + 1);
    out += QByteArrayView(other_).first(insertAt_);
    out += body;
    const QByteArrayView rest = QByteArrayView(other_).sliced(insertAt_);
    if (!rest.isEmpty() && !rest.startsWith('\n') && !rest.startsWith('['))
        out += '\n';
    out += rest;
    return out;
}

} // namespace quillion
