// The settings file as plain text: an INI file in the layout QSettings::IniFormat reads and
// writes ([Section], escaped keys, quoted and escaped values), but every value is a plain
// string. A value that QSettings would turn into another type ("@Variant(...)",
// "@ByteArray(...)", "@Rect(...)" and the like) is left out as if absent, so nothing in the file
// can make reading it recurse, allocate without bound or hang.
#pragma once

#include <QIODevice>
#include <QSettings>

namespace quillion {

// The reading and writing functions of QSettings::registerFormat.
bool ReadPlainIni(QIODevice& device, QSettings::SettingsMap& map);
bool WritePlainIni(QIODevice& device, const QSettings::SettingsMap& map);

// The registered format (registered on first use).
QSettings::Format PlainIniFormat();

} // namespace quillion
