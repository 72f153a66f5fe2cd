// Windows cursor files (.cur): the first image of the directory, as a DIB (1, 4, 8, 24 or
// 32 bits per pixel with its AND mask) or as a PNG, with the hot spot of its entry.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

namespace quillion {

struct CursorImage {
    QImage image; // ARGB32, transparent where the AND mask says so
    QPoint hotSpot;
};

inline constexpr qint64 kMaxCursorFileBytes = 1 << 20;
inline constexpr int kMaxCursorSide = 256;

// Parses the bytes of a cursor file. Anything truncated, oversized, of another type or
// otherwise broken raises RuntimeError 481 ("Invalid picture"); sizes are checked before
// anything is allocated.
CursorImage ParseCursorFile(const QByteArray& bytes);

// Reads and parses the file; a file that cannot be read raises RuntimeError 53 or 75, one
// larger than kMaxCursorFileBytes RuntimeError 481.
CursorImage ReadCursorFile(const QString& path);

} // namespace quillion
