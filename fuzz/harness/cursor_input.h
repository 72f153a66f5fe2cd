// One fuzz input for the .cur reader: the bytes are the file. Parsing either raises
// RuntimeError 481 ("Invalid picture") or gives an ARGB32 image of 1 to 256 pixels a side
// with its hot spot inside.
#pragma once

#include "cursor_file.h"
#include "runtime/runtime.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillion::fuzz {

inline std::string RunCursorInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CursorImage cursor;
    try {
        cursor = ParseCursorFile(bytes);
    } catch (const RuntimeError& e) {
        return e.Number() == 481 ? "" : "a failure other than error 481";
    }
    const QImage& image = cursor.image;
    if (image.isNull() || image.format() != QImage::Format_ARGB32)
        return "no ARGB32 image";
    if (image.width() < 1 || image.height() < 1 || image.width() > kMaxCursorSide ||
        image.height() > kMaxCursorSide)
        return "image size out of bounds";
    if (cursor.hotSpot.x() < 0 || cursor.hotSpot.y() < 0 || cursor.hotSpot.x() >= image.width() ||
        cursor.hotSpot.y() >= image.height())
        return "hot spot outside the image";
    return {};
}

} // namespace quillion::fuzz
