// The settings file's text: values read as QSettings' INI reader reads them, anything that is
// not a plain string absent, other sections kept byte for byte, and what is written read back
// the same by Qt's own reader.
#include "plain_ini.h"
#include "settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace quillion {
namespace {

const QString kSection = QStringLiteral("Quillion");

TEST(IniDocument, ReadsValuesAsPlainStrings) {
    struct Row {
        int row;
        QByteArray line; // after "Barcode="
        std::optional<QString> value;
    } rows[] = {
        {1, "AB", QStringLiteral("AB")},
        {2, "  spaced out  ", QStringLiteral("spaced out")},
        {3, "\"  kept  \"", QStringLiteral("  kept  ")},
        {4, "a, b,c", QStringLiteral("a, b, c")}, // a list, joined
        {5, "\"a, b\" ; comment", QStringLiteral("a, b")},
        {6, "\\x41\\x42\\t\\\"\\\\", QStringLiteral("AB\t\"\\")},
        {7, "caf\xC3\xA9", QStringLiteral("caf\u00E9")},
        {8, "@@at", QStringLiteral("@at")},
        {9, "@String(A\\0B)", QString::fromUtf16(u"A\0B", 3)},
        {10, "@Variant(\\0\\0\\0\\x7f\\0\\0\\0)", std::nullopt},
        {11, "@ByteArray(AB)", std::nullopt},
        {12, "x, @Rect(1 2 3 4)", std::nullopt},
        {13, "\\x40Variant(", std::nullopt}, // the "@" may come from an escape
        {14, "", QString()},
        {15, "abc ;note", QStringLiteral("abc")}, // a comment after an unquoted value
    };
    for (const Row& r : rows) {
        const IniDocument doc = IniDocument::Parse(
            "[Other]\nBarcode=no\n[Quillion]\nBarcode=" + r.line + "\n", kSection);
        EXPECT_EQ(doc.Value(QStringLiteral("Barcode")), r.value) << "row " << r.row;
    }
}

TEST(IniDocument, WritesItsSectionAndKeepsTheRest) {
    const QByteArray text = "; a comment\n[Other]\nkey=value\n\n[Quillion]\nWith%20Caption=0\n"
                            "Barcode=old\n[Last]\nx=1";
    IniDocument doc = IniDocument::Parse(text, kSection);
    EXPECT_EQ(doc.Value(QStringLiteral("With Caption")), QStringLiteral("0"));
    doc.SetValue(QStringLiteral("Barcode"), QStringLiteral("new"));
    EXPECT_EQ(doc.Serialize(), QByteArray("; a comment\n[Other]\nkey=value\n\n[Quillion]\n"
                                          "With%20Caption=0\nBarcode=new\n[Last]\nx=1\n"));
    // A file without the section gets it at the end.
    IniDocument empty = IniDocument::Parse("[Other]\nk=v\n", kSection);
    empty.SetValue(QStringLiteral("With Caption"), QStringLiteral("1"));
    EXPECT_EQ(empty.Serialize(), QByteArray("[Other]\nk=v\n[Quillion]\nWith%20Caption=1\n"));
}

TEST(IniDocument, QtReadsBackWhatIsWritten) {
    const QString values[] = {
        QStringLiteral("AB"),
        QStringLiteral("a, b; c = d"),
        QStringLiteral(" blanks "),
        QStringLiteral("@Variant(x)"),
        QString::fromUtf16(u"\uFEFFAB\uFFFE", 4),
        QString::fromUtf16(u"A\u0001B\n\tC\u0000D", 8),
        QString::fromUtf16(u"\x1\x41\x7f\x62", 4), // hex digits after a \x escape
        QString::fromUtf16(u"\U0001F600 \u00E9", 4),
        QStringLiteral("  lead"), // blanks at the start only
    };
    QTemporaryDir folder;
    int row = 0;
    for (const QString& value : values) {
        ++row;
        IniDocument doc = IniDocument::Parse({}, kSection);
        doc.SetValue(QStringLiteral("Barcode"), value);
        const QString path = folder.filePath(QStringLiteral("r%1.ini").arg(row));
        const QByteArray bytes = doc.Serialize();
        std::ofstream(path.toStdString(), std::ios::binary).write(bytes.constData(), bytes.size());
        EXPECT_EQ(QSettings(path, QSettings::IniFormat).value("Quillion/Barcode").toString(), value)
            << "row " << row << ": " << bytes.toStdString();
        EXPECT_EQ(IniDocument::Parse(bytes, kSection).Value(QStringLiteral("Barcode")), value)
            << "row " << row;
    }
}

// Two windows share the file: each save starts from what is on disk, so the second window's
// save keeps what the first one saved.
TEST(UserSettings, ASaveKeepsWhatAnotherWindowSaved) {
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    {
        const auto first = CreateUserSettings();
        const auto second = CreateUserSettings();
        first->SaveSetting(kKeyBarcode, u"from the first");
        second->SaveSetting(kKeyWithCaption, u"0");
    }
    const auto later = CreateUserSettings();
    EXPECT_EQ(ReadStoredBarcode(*later), u"from the first");
    EXPECT_FALSE(ReadStoredWithCaption(*later));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
} // namespace quillion
