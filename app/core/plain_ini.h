// The settings file as plain text: an INI file in the layout QSettings::IniFormat reads and
// writes ([Section], escaped keys, quoted and escaped values), but every value is a plain
// string. A value that QSettings would turn into another type ("@Variant(...)",
// "@ByteArray(...)", "@Rect(...)" and the like) counts as absent, so nothing in the file can
// make reading it recurse, allocate without bound or hang.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace quillion {

// One section of a settings file, parsed, and the rest of the file kept as it is: the entries
// of other sections, comments and blank lines are written back unchanged.
class IniDocument {
public:
    // Reads the text; lines of every occurrence of [section] are the section's.
    static IniDocument Parse(QByteArrayView data, const QString& section);

    // The plain string of a key of the section (the last one when it occurs more than once), or
    // nothing when it is absent or not a plain string. An unquoted comma separates elements,
    // which read back joined by ", " (as a list of QSettings would be shown).
    std::optional<QString> Value(const QString& key) const;
    void SetValue(const QString& key, const QString& value);

    // The file's text: the section where it first stood (or at the end), holding its entries
    // in their order, the rest as read.
    QByteArray Serialize() const;

private:
    struct Entry {
        QString key; // empty for a comment or a line that is no entry
        std::optional<QString> value;
        QByteArray raw; // the line as it is written
    };
    QString section_;
    std::vector<Entry> entries_;
    QByteArray other_;
    qsizetype insertAt_ = 0;
    bool found_ = false;
};

} // namespace quillion
