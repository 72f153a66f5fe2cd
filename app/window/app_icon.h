// The application icon: a small barcode drawn by the program.
#pragma once

#include <QIcon>

namespace quillion {

QIcon MakeAppIcon();

} // namespace quillion
