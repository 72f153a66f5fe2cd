// Windows .cur files: every supported depth and PNG with the hot spot, and every broken file
// (truncated anywhere, oversized, wrong type) as a run-time error rather than a crash.
#include "cursor_file.h"

#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstdint>

namespace quillion {
namespace {

void Put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, std::int64_t v) {
    Put16(b, int(v & 0xFFFF));
    Put16(b, int((v >> 16) & 0xFFFF));
}

QByteArray Directory(int w, int h, int hotX, int hotY, const QByteArray& image) {
    QByteArray b;
    Put16(b, 0);
    Put16(b, 2);
    Put16(b, 1);
    b.append(char(w & 0xFF));
    b.append(char(h & 0xFF));
    b.append('\0');
    b.append('\0');
    Put16(b, hotX);
    Put16(b, hotY);
    Put32(b, image.size());
    Put32(b, 22);
    return b + image;
}

// A DIB of w x h where pixel (x, y) is opaque red when (x + y) is even, transparent otherwise;
// for 32 bpp the alpha channel says so (and the AND mask is all opaque, to show alpha wins).
QByteArray Dib(int w, int h, int bpp) {
    QByteArray b;
    Put32(b, 40);
    Put32(b, w);
    Put32(b, 2 * h);
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    const int colors = bpp <= 8 ? 1 << bpp : 0;
    for (int i = 0; i < colors; ++i) { // index 1 red, the rest black
        b.append(char(0));
        b.append(char(0));
        b.append(char(i == 1 ? 255 : 0));
        b.append(char(0));
    }
    const int xorStride = (w * bpp + 31) / 32 * 4, andStride = (w + 31) / 32 * 4;
    for (int row = h - 1; row >= 0; --row) { // bottom-up
        QByteArray line(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const bool red = (x + row) % 2 == 0;
            if (bpp <= 8) {
                if (red) {
                    const int bit = x * bpp;
                    line[bit / 8] = char(line[bit / 8] | (1 << (8 - bpp - bit % 8)));
                }
            } else {
                const int p = x * (bpp / 8);
                line[p + 2] = char(red ? 255 : 0);
                if (bpp == 32)
                    line[p + 3] = char(red ? 255 : 0);
            }
        }
        b.append(line);
    }
    for (int row = h - 1; row >= 0; --row) {
        QByteArray line(andStride, '\0');
        for (int x = 0; x < w && bpp != 32; ++x)
            if ((x + row) % 2 != 0)
                line[x / 8] = char(line[x / 8] | (0x80 >> (x % 8)));
        b.append(line);
    }
    return b;
}

void ExpectChecker(const CursorImage& c, int w, int h) {
    ASSERT_EQ(c.image.width(), w);
    ASSERT_EQ(c.image.height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = c.image.pixel(x, y);
            if ((x + y) % 2 == 0)
                EXPECT_EQ(p, qRgba(255, 0, 0, 255)) << x << "," << y;
            else
                EXPECT_EQ(qAlpha(p), 0) << x << "," << y;
        }
}

TEST(CursorFile, EveryDepthWithItsHotSpot) {
    struct Row {
        int row, w, h, bpp, hotX, hotY;
    };
    const Row rows[] = {{1, 32, 32, 1, 5, 7},  {2, 16, 16, 4, 0, 0},   {3, 32, 32, 8, 31, 31},
                        {4, 17, 5, 24, 16, 4}, {5, 32, 32, 32, 10, 2}, {6, 3, 9, 1, 1, 8}};
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        const CursorImage c = ParseCursorFile(
            Directory(row.w, row.h, row.hotX, row.hotY, Dib(row.w, row.h, row.bpp)));
        ExpectChecker(c, row.w, row.h);
        EXPECT_EQ(c.hotSpot, QPoint(row.hotX, row.hotY));
    }
}

TEST(CursorFile, PngImage) {
    QImage img(24, 24, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 255, 255));
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    const CursorImage c = ParseCursorFile(Directory(24, 24, 3, 4, png));
    EXPECT_EQ(c.image.size(), QSize(24, 24));
    EXPECT_EQ(c.image.pixel(5, 5), qRgba(0, 0, 255, 255));
    EXPECT_EQ(c.hotSpot, QPoint(3, 4));
}

TEST(CursorFile, EveryTruncationIsAnError) {
    const QByteArray whole = Directory(32, 32, 5, 7, Dib(32, 32, 1));
    for (qsizetype n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(ParseCursorFile(whole.left(n)), RuntimeError);
    }
}

TEST(CursorFile, BrokenFiles) {
    const QByteArray good = Directory(32, 32, 5, 7, Dib(32, 32, 8));
    auto patched = [&](int at, QByteArray bytes) {
        QByteArray b = good;
        b.replace(at, bytes.size(), bytes);
        return b;
    };
    QByteArray huge32;
    Put32(huge32, 100000);
    QByteArray minus;
    Put32(minus, -64);
    QByteArray offsetFar;
    Put32(offsetFar, 0x7FFFFFF0);
    const struct {
        int row;
        QByteArray bytes;
    } rows[] = {
        {1, patched(2, QByteArray("\x01\x00", 2))},       // an icon, not a cursor
        {2, patched(4, QByteArray("\x00\x00", 2))},       // no images
        {3, patched(10, QByteArray("\x40\x00", 2))},      // hot spot x 64 outside 32
        {4, patched(22 + 4, huge32)},                     // width 100000
        {5, patched(22 + 8, minus)},                      // top-down height
        {6, patched(22 + 14, QByteArray("\x10\x00", 2))}, // 16 bpp
        {7, patched(22 + 16, QByteArray("\x01\x00", 2))}, // compressed
        {8, patched(18, offsetFar)},                      // image beyond the file
        {9, patched(14, offsetFar)},                      // image size beyond the file
        {10, QByteArray(kMaxCursorFileBytes + 1, '\0')},  // too large to be a cursor
        {11, QByteArray("not a cursor at all")},
        {12, Directory(8, 8, 0, 0, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(30, '\xff'))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        try {
            ParseCursorFile(row.bytes);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 481);
            EXPECT_EQ(e.Description(), "Invalid picture");
        }
    }
}

TEST(CursorFile, ReadingMissingAndEmptyFiles) {
    EXPECT_THROW(ReadCursorFile(QStringLiteral("/nonexistent/HAND-M.CUR")), RuntimeError);
    EXPECT_THROW(ParseCursorFile(QByteArray()), RuntimeError);
}

} // namespace
} // namespace quillion
