#include "cursor_file.h"

#include "runtime/runtime.h"

#include <QFile>

#include <cstdint>

namespace quillion {

namespace {

constexpr std::int32_t kErrInvalidPicture = 481;
constexpr std::uint16_t kCursorType = 2;
constexpr std::size_t kDirHeaderBytes = 6;
constexpr std::size_t kDirEntryBytes = 16;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

[[noreturn]] void Invalid() {
    throw RuntimeError(kErrInvalidPicture, "Invalid picture");
}

// Little-endian reads inside a checked span.
class Bytes {
public:
    Bytes(const char* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t Size() const { return size_; }
    const char* Data() const { return data_; }
    std::uint8_t U8(std::size_t at) const {
        Need(at, 1);
        return static_cast<std::uint8_t>(data_[at]);
    }
    std::uint16_t U16(std::size_t at) const {
        Need(at, 2);
        return std::uint16_t(U8(at) | (U8(at + 1) << 8));
    }
    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        return std::uint32_t(U16(at)) | (std::uint32_t(U16(at + 2)) << 16);
    }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
    std::uint32_t U32BigEndian(std::size_t at) const {
        Need(at, 4);
        return (std::uint32_t(U8(at)) << 24) | (std::uint32_t(U8(at + 1)) << 16) |
               (std::uint32_t(U8(at + 2)) << 8) | std::uint32_t(U8(at + 3));
    }
    Bytes Sub(std::size_t at, std::size_t count) const {
        Need(at, count);
        return Bytes(data_ + at, count);
    }
    void Need(std::size_t at, std::size_t count) const {
        if (at > size_ || count > size_ - at)
            Invalid();
    }

private:
    const char* data_;
    std::size_t size_;
};

QImage DecodePng(const Bytes& png) {
    // IHDR is the first chunk: its width and height are checked before decoding.
    const std::uint32_t width = png.U32BigEndian(16);
    const std::uint32_t height = png.U32BigEndian(20);
    if (width == 0 || height == 0 || width > kMaxCursorSide || height > kMaxCursorSide)
        Invalid();
    QImage image = QImage::fromData(
        QByteArrayView(reinterpret_cast<const uchar*>(png.Data()), qsizetype(png.Size())), "PNG");
    if (image.isNull() || image.width() != int(width) || image.height() != int(height))
        Invalid();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage DecodeDib(const Bytes& dib) {
    const std::uint32_t headerSize = dib.U32(0);
    const std::int32_t width = dib.I32(4);
    const std::int32_t doubledHeight = dib.I32(8);
    const std::uint16_t planes = dib.U16(12);
    const std::uint16_t bpp = dib.U16(14);
    const std::uint32_t compression = dib.U32(16);
    const std::uint32_t colorsUsed = dib.U32(32);
    if (headerSize < kInfoHeaderBytes || headerSize > dib.Size())
        Invalid();
    if (width < 1 || width > kMaxCursorSide || doubledHeight < 2 ||
        doubledHeight > 2 * kMaxCursorSide || doubledHeight % 2 != 0)
        Invalid();
    if (planes != 1 || compression != 0)
        Invalid();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        Invalid();
    const int height = doubledHeight / 2;

    const std::size_t maxColors = bpp <= 8 ? std::size_t(1) << bpp : 0;
    const std::size_t colors = bpp <= 8 ? (colorsUsed ? colorsUsed : maxColors) : 0;
    if (colors > maxColors)
        Invalid();
    const Bytes palette = dib.Sub(headerSize, colors * 4);
    const std::size_t xorStride = (std::size_t(width) * bpp + 31) / 32 * 4;
    const std::size_t andStride = (std::size_t(width) + 31) / 32 * 4;
    const std::size_t xorAt = headerSize + colors * 4;
    const Bytes xorBits = dib.Sub(xorAt, xorStride * std::size_t(height));
    const std::size_t andAt = xorAt + xorStride * std::size_t(height);
    // 32-bit images carry their own alpha; their AND mask may be left out.
    const bool hasMask = dib.Size() >= andAt + andStride * std::size_t(height);
    if (!hasMask && bpp != 32)
        Invalid();

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        Invalid();
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(height - 1 - y); // bottom-up rows
        for (int x = 0; x < width; ++x) {
            QRgb rgb = 0;
            if (bpp <= 8) {
                const std::size_t bit = std::size_t(x) * bpp;
                const std::uint8_t byte = xorBits.U8(row * xorStride + bit / 8);
                const unsigned shift = unsigned(8 - bpp - bit % 8);
                const std::size_t index = (byte >> shift) & ((1u << bpp) - 1);
                if (index < colors) {
                    const std::size_t p = index * 4;
                    rgb = qRgb(palette.U8(p + 2), palette.U8(p + 1), palette.U8(p));
                }
            } else {
                const std::size_t p = row * xorStride + std::size_t(x) * (bpp / 8);
                rgb = qRgb(xorBits.U8(p + 2), xorBits.U8(p + 1), xorBits.U8(p));
                if (bpp == 32) {
                    const int alpha = xorBits.U8(p + 3);
                    anyAlpha = anyAlpha || alpha != 0;
                    rgb = qRgba(qRed(rgb), qGreen(rgb), qBlue(rgb), alpha);
                }
            }
            image.setPixel(x, y, bpp == 32 ? rgb : (rgb | 0xFF000000u));
        }
    }
    if (bpp == 32 && anyAlpha)
        return image;
    if (!hasMask)
        Invalid();
    const Bytes mask = dib.Sub(andAt, andStride * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::size_t row = std::size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const bool transparent =
                (mask.U8(row * andStride + std::size_t(x) / 8) >> (7 - unsigned(x) % 8)) & 1u;
            const QRgb rgb = image.pixel(x, y);
            image.setPixel(x, y, transparent ? 0u : (rgb | 0xFF000000u));
        }
    }
    return image;
}

} // namespace

CursorImage ParseCursorFile(const QByteArray& data) {
    if (data.size() > kMaxCursorFileBytes)
        Invalid();
    const Bytes file(data.constData(), std::size_t(data.size()));
    if (file.U16(0) != 0 || file.U16(2) != kCursorType || file.U16(4) == 0)
        Invalid();
    const std::size_t entry = kDirHeaderBytes;
    const std::uint16_t hotX = file.U16(entry + 4);
    const std::uint16_t hotY = file.U16(entry + 6);
    const std::uint32_t imageBytes = file.U32(entry + 8);
    const std::uint32_t imageAt = file.U32(entry + 12);
    if (imageAt < kDirHeaderBytes + kDirEntryBytes)
        Invalid();
    const Bytes image = file.Sub(imageAt, imageBytes);

    CursorImage cursor;
    const bool png =
        image.Size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, image.Data());
    cursor.image = png ? DecodePng(image) : DecodeDib(image);
    if (hotX >= cursor.image.width() || hotY >= cursor.image.height())
        Invalid();
    cursor.hotSpot = QPoint(hotX, hotY);
    return cursor;
}

CursorImage ReadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(file.exists() ? 75 : 53,
                           file.exists() ? "Path/File access error" : "File not found");
    if (file.size() > kMaxCursorFileBytes)
        Invalid();
    const QByteArray bytes = file.read(kMaxCursorFileBytes + 1);
    return ParseCursorFile(bytes);
}

} // namespace quillion
