// The application icon: a small barcode drawn by the program. The installed icon files
// (data/icons/) hold the same drawing; a window test compares them with DrawAppIcon.
#pragma once

#include <QIcon>
#include <QImage>

namespace quillion {

// The sides of the PNG icons that are installed and that MakeAppIcon holds.
inline constexpr int kAppIconSides[] = {16, 32, 48, 64, 128, 256};

// The icon drawn side x side pixels, transparent outside its rounded square.
QImage DrawAppIcon(int side);

QIcon MakeAppIcon();

} // namespace quillion
