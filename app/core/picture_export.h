// The export picture as it leaves the program other than through Save As JPG: the clipboard
// and drag and drop take it as a lossless PNG.
#pragma once

#include "draw/color.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quillion {

inline constexpr char kPngMimeType[] = "image/png";

// True when the picture holds something worth copying: it has pixels and not all of them are
// the same colour (a cleared picture, or none painted yet, is one flat colour).
bool HasPictureToCopy(const Image& picture);

// A deep copy in QImage's RGB32 form (the same pixel layout).
QImage ToQImage(const Image& picture);

// The picture as PNG bytes, pixel for pixel. Raises RuntimeError when it cannot be encoded.
QByteArray EncodePng(const Image& picture);

// Writes the picture as a PNG file named fileName into folder (replaced whole or not at all)
// and returns its path. Raises RuntimeError 75 "Path/File access error" when it cannot be
// written.
QString WritePngFile(const Image& picture, const QString& folder, const QString& fileName);

} // namespace quillion
