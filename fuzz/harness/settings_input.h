// One fuzz input for the settings read-back. The input holds a text (arbitrary UTF-16, at most
// 4000 units) and, after it, the bytes of a settings file. The text saved as "Barcode" in an
// empty store reads back unchanged in a new store; the bytes, written as the settings file,
// read back through the start-up rules without failing.
#pragma once

#include "byte_reader.h"
#include "settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline constexpr std::size_t kMaxStoredTextUnits = 4000;

// The configuration folder of the settings, a private temporary one for the whole process.
inline QString SettingsFuzzFolder() {
    static QTemporaryDir folder;
    static const bool set = [] {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path()));
        return true;
    }();
    (void)set;
    return folder.path();
}

inline std::string RunSettingsInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = SettingsFuzzFolder() + QStringLiteral("/Velmorrow");
    const QString file = folder + QStringLiteral("/Quillion.ini");
    QDir().mkpath(folder);

    ByteReader in(data, size);
    const std::u16string text = in.Text(kMaxStoredTextUnits, u"AB");
    QFile::remove(file);
    CreateUserSettings()->SaveSetting(kKeyBarcode, text);
    if (ReadStoredBarcode(*CreateUserSettings()) != text)
        return "stored text changed on the way back";

    QFile raw(file);
    if (!raw.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return "settings file cannot be written";
    raw.write(reinterpret_cast<const char*>(data), qsizetype(size));
    raw.close();
    const auto store = CreateUserSettings();
    (void)ReadStoredBarcode(*store);
    (void)ReadStoredWithCaption(*store);
    return {};
}

} // namespace quillion::fuzz
