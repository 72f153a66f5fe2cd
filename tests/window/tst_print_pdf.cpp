// The printer's geometry checked without a print server: QtPrinter prints into a PDF file
// (Qt's own PDF output), pdftoppm rasterises the page and the dark area must stand where the
// rectangle puts it, as large as the rectangle says: a wrong twips-to-dots scale or a page margin
// shows here.
#include "printer_qt.h"

#include "draw/surface.h"
#include "picture_export.h"
#include "symbols/bar39.h"
#include "symbols/mBarcode.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using quillion::Image;
using quillion::QtPrinter;
using quillion::ScaleMode;

constexpr int kRasterDpi = 300;

// A Code 39 and a UPC-A picture as the window paints them.
Image PaintCode39(const std::u16string& text) {
    quillion::DrawingSurface surface(427, 56);
    surface.SetAutoRedraw(true);
    surface.SetFontSize(10);
    quillion::DrawCode39(text, surface);
    return surface.GetImage();
}
Image PaintUpcA(const std::u16string& digits) {
    quillion::DrawingSurface surface(515, 109);
    surface.SetAutoRedraw(true);
    quillion::DrawUpc(surface, digits, quillion::UpcVariant::UpcA);
    return surface.GetImage();
}

// Left, top, right, bottom: inches from the page's top-left corner.
using Box = std::array<double, 4>;

// The bounding box of the pixels darker than mid-grey, in pixels x perPixel (inches).
Box DarkBox(const QImage& image, double perPixel) {
    int x0 = image.width(), y0 = image.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                x0 = std::min(x0, x), y0 = std::min(y0, y);
                x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    return {x0 * perPixel, y0 * perPixel, (x1 + 1) * perPixel, (y1 + 1) * perPixel};
}

// The picture's dark pixels stretched into rect (inches), as the page should show them.
Box ExpectedBox(const Image& picture, double x, double y, double w, double h) {
    const Box box = DarkBox(quillion::ToQImage(picture), 1);
    const double sx = w / picture.width, sy = h / picture.height;
    return {x + box[0] * sx, y + box[1] * sy, x + box[2] * sx, y + box[3] * sy};
}

} // namespace

class TestPrintPdf : public QObject {
    Q_OBJECT
private slots:
    void pictureStandsAtTheCornerInItsRectangle();
};

void TestPrintPdf::pictureStandsAtTheCornerInItsRectangle() {
    QTemporaryDir folder;
    const Image code39 = PaintCode39(u"AB");
    const Image upc = PaintUpcA(u"036000291452");
    constexpr int kPdfDpi = 1200; // QPrinter::HighResolution for PDF output
    struct Row {
        int row;
        ScaleMode mode;
        const Image* picture;
        double x, y, w, h;    // in the scale mode's units
        double inchesPerUnit; // twips: 1/1440; printer pixels: 1/1200
    };
    const Row rows[] = {
        {1, ScaleMode::Twips, &code39, 0, 0, 7800, 1725, 1.0 / 1440}, // 5.42 x 1.20 inches
        {2, ScaleMode::Pixels, &upc, 0, 0, 1520, 1115, 1.0 / kPdfDpi},
        {3, ScaleMode::Twips, &code39, 1440, 720, 7800, 1725, 1.0 / 1440}, // moved 1 x 0.5 in
    };
    for (const Row& r : rows) {
        const QByteArray row = "row " + QByteArray::number(r.row);
        const QString pdf = folder.filePath(QStringLiteral("page%1.pdf").arg(r.row));
        QtPrinter printer(pdf);
        printer.SetScaleMode(r.mode);
        printer.SetCopies(1);
        printer.PaintPicture(*r.picture, r.x, r.y, r.w, r.h);
        QCOMPARE(printer.Resolution(), kPdfDpi);
        printer.EndDoc();

        QProcess pdftoppm;
        const QString page = folder.filePath(QStringLiteral("page%1").arg(r.row));
        pdftoppm.start(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-r"), QString::number(kRasterDpi), QStringLiteral("-gray"),
                        QStringLiteral("-singlefile"), pdf, page});
        QVERIFY2(pdftoppm.waitForFinished(60000), row);
        QVERIFY2(pdftoppm.exitCode() == 0, pdftoppm.readAllStandardError());
        const QImage raster(page + QStringLiteral(".pgm"));
        QVERIFY2(!raster.isNull(), row);
        const Box got = DarkBox(raster, 1.0 / kRasterDpi);
        const double u = r.inchesPerUnit;
        const Box want = ExpectedBox(*r.picture, r.x * u, r.y * u, r.w * u, r.h * u);
        const double tolerance = 1.0 / kRasterDpi + 1.0 / kPdfDpi;
        QString detail = row + ": left, top, right, bottom got/expected (in):";
        bool near = true;
        for (int i = 0; i < 4; ++i) {
            detail += QStringLiteral(" %1/%2").arg(got[i]).arg(want[i]);
            near = near && std::abs(got[i] - want[i]) <= tolerance;
        }
        QVERIFY2(near, qPrintable(detail));
    }
}

QTEST_MAIN(TestPrintPdf)
#include "tst_print_pdf.moc"
