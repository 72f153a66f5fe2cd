#include "plain_ini.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillion {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

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
            text_.append(QString::fromUtf8(bytes_));
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

// A stored string, or nothing when the text names another type.
std::optional<QString> PlainString(const QString& element) {
    if (!element.startsWith(QLatin1Char('@')))
        return element;
    if (element.startsWith(QLatin1String("@@")))
        return element.mid(1);
    return std::nullopt;
}

void AddEntry(const QString& section, QByteArrayView rawKey, QByteArrayView rawValue,
              QSettings::SettingsMap& map) {
    const QString key = UnescapeKey(rawKey.trimmed());
    if (key.isEmpty())
        return;
    QStringList values;
    for (const QString& element : UnescapeValue(rawValue.trimmed())) {
        const std::optional<QString> plain = PlainString(element);
        if (!plain)
            return; // not a plain string: absent
        values << *plain;
    }
    map.insert(section.isEmpty() ? key : section + QLatin1Char('/') + key,
               values.join(QStringLiteral(", ")));
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

void EscapeValue(const QString& value, QByteArray& out) {
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray body;
    bool needsQuotes = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    bool escapeHexDigit = false; // after a \x escape, a hex digit would be read as part of it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text[i + 1].unicode());
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        if (pair) {
            body += text.mid(i, 2).toUtf8();
            ++i;
            escapeHexDigit = false;
        } else if (c == u'"' || c == u'\\') {
            body += '\\';
            body += char(c);
            escapeHexDigit = false;
        } else if (c == u'\n' || c == u'\r' || c == u'\t') {
            body += c == u'\n' ? "\\n" : c == u'\r' ? "\\r" : "\\t";
            escapeHexDigit = false;
        } else if (c < 0x20 || c == 0x7F || QChar::isSurrogate(c) ||
                   (escapeHexDigit && IsHexDigit(c))) {
            HexEscape(c, body);
            escapeHexDigit = true;
        } else {
            body += QString(QChar(c)).toUtf8();
            escapeHexDigit = false;
        }
    }
    if (needsQuotes)
        out += '"' + body + '"';
    else
        out += body;
}

} // namespace

bool ReadPlainIni(QIODevice& device, QSettings::SettingsMap& map) {
    const QByteArray data = device.readAll();
    QString section;
    qsizetype at = 0;
    while (at < data.size()) {
        qsizetype end = at;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        const QByteArrayView line = QByteArrayView(data).sliced(at, end - at).trimmed();
        at = end + 1;
        if (line.isEmpty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const qsizetype close = line.indexOf(']');
            section = UnescapeKey(line.sliced(1, (close < 0 ? line.size() : close) - 1));
            if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            AddEntry(section, line.first(equals), line.sliced(equals + 1), map);
    }
    return true;
}

bool WritePlainIni(QIODevice& device, const QSettings::SettingsMap& map) {
    QByteArray out;
    QString section;
    bool first = true;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        const QString keySection = slash < 0 ? QStringLiteral("General") : it.key().first(slash);
        if (first || keySection != section) {
            out += first ? "[" : "\n[";
            EscapeKey(keySection, out);
            out += "]\n";
            section = keySection;
            first = false;
        }
        EscapeKey(slash < 0 ? it.key() : it.key().sliced(slash + 1), out);
        out += '=';
        EscapeValue(it.value().toString(), out);
        out += '\n';
    }
    return device.write(out) == out.size();
}

QSettings::Format PlainIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), ReadPlainIni, WritePlainIni);
    return format;
}

} // namespace quillion
