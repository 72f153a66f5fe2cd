// The default printer over Qt Print Support. These tests print for real, so they run only when
// tests/scripts/test_print.sh has set up a private cupsd and says what to expect:
//   QUILLION_PRINT_TEST=none   no default printer: every operation raises 482, without a hang
//   QUILLION_PRINT_TEST=print  a cups-pdf queue is the default printer; each test prints one
//                              page and writes the dark area it expects on the page (in inches
//                              from the paper's top-left corner) to $QUILLION_PRINT_EXPECT
#include "printer_qt.h"

#include "paint_helpers.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

using quillion::Image;
using quillion::Printer;
using quillion::QtPrinter;
using quillion::RuntimeError;
using quillion::ScaleMode;

std::string Mode() {
    const char* mode = std::getenv("QUILLION_PRINT_TEST");
    return mode == nullptr ? "" : mode;
}

void EnsureGui() {
    static int argc = 1;
    static char name[] = "quillion_core_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = QCoreApplication::instance() == nullptr
                                      ? new QGuiApplication(argc, argv) // lives to the end
                                      : nullptr;
    (void)app;
}

void ExpectPrinterError(const std::function<void()>& operation, int row) {
    try {
        operation();
        ADD_FAILURE() << "row " << row << ": no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 482) << "row " << row;
        EXPECT_EQ(e.Description(), "Printer error") << "row " << row;
    }
}

// Every operation fails on its own with error 482, as each step of the print handler does.
void ExpectEveryOperationFails() {
    auto printer = quillion::CreateDefaultPrinter();
    const Image picture(10, 10, 0xFF000000u);
    ExpectPrinterError([&] { printer->SetScaleMode(ScaleMode::Twips); }, 1);
    ExpectPrinterError([&] { printer->SetCopies(1); }, 2);
    ExpectPrinterError([&] { printer->PaintPicture(picture, 0, 0, 7800, 1725); }, 3);
    ExpectPrinterError([&] { printer->EndDoc(); }, 4);
}

TEST(PrintThroughCups, WithoutTheGuiEveryOperationRaisesPrinterError) {
    if (QCoreApplication::instance() != nullptr) {
        GTEST_SKIP() << "a QGuiApplication exists in this process already";
    }
    ExpectEveryOperationFails();
}

TEST(PrintThroughCups, NoDefaultPrinterRaisesPrinterError) {
    if (Mode() != "none") {
        GTEST_SKIP() << "run by tests/scripts/test_print.sh";
    }
    EnsureGui();
    ExpectEveryOperationFails();
}

// The bounding box of the picture's dark pixels, stretched into the rectangle (x, y, w, h) given
// in printer pixels, in inches from the top-left corner of the printable area. The test script
// adds the corner, which it takes from the queue's PPD (not from Qt).
void WriteExpectedDarkArea(const Image& picture, double x, double y, double w, double h,
                           int resolution) {
    int x0 = picture.width, y0 = picture.height, x1 = -1, y1 = -1;
    for (int py = 0; py < picture.height; ++py) {
        for (int px = 0; px < picture.width; ++px) {
            const quillion::Pixel p = picture.At(px, py);
            const int luma = (int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF)) / 3;
            if (luma < 128) {
                x0 = std::min(x0, px);
                y0 = std::min(y0, py);
                x1 = std::max(x1, px);
                y1 = std::max(y1, py);
            }
        }
    }
    ASSERT_GE(x1, 0) << "the picture has no dark pixel";
    // Qt's view of the same printer: its paint rectangle must start at the printable area's
    // corner too (the script checks the page against the PPD).
    const QPrinter reference(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    const QPointF paintOrigin = reference.pageLayout().paintRect(QPageLayout::Inch).topLeft();
    const double sx = w / picture.width / resolution;
    const double sy = h / picture.height / resolution;
    const char* path = std::getenv("QUILLION_PRINT_EXPECT");
    ASSERT_NE(path, nullptr) << "QUILLION_PRINT_EXPECT is not set";
    std::ofstream out(path);
    out << "resolution " << resolution << "\n"
        << "dark " << x / resolution + x0 * sx << " " << y / resolution + y0 * sy << " "
        << x / resolution + (x1 + 1) * sx << " " << y / resolution + (y1 + 1) * sy << "\n"
        << "qt-origin " << paintOrigin.x() << " " << paintOrigin.y() << "\n"
        << "rect " << w / resolution << " " << h / resolution << "\n";
    ASSERT_TRUE(out.good());
}

TEST(PrintThroughCups, Code128InTwipsIsPrinted542By120InchesAtTheTopLeft) {
    if (Mode() != "print") {
        GTEST_SKIP() << "run by tests/scripts/test_print.sh";
    }
    EnsureGui();
    const Image picture = quillion::testing::PaintCode128(u"AB");
    QtPrinter printer;
    printer.SetScaleMode(ScaleMode::Twips);
    printer.SetCopies(1);
    printer.PaintPicture(picture, 0, 0, 7800, 1725);
    const int resolution = printer.Resolution();
    printer.EndDoc();
    WriteExpectedDarkArea(picture, 0, 0, 7800.0 * resolution / 1440, 1725.0 * resolution / 1440,
                          resolution);
}

TEST(PrintThroughCups, UpcInPixelsIsPrintedInPrinterPixels) {
    if (Mode() != "print") {
        GTEST_SKIP() << "run by tests/scripts/test_print.sh";
    }
    EnsureGui();
    const Image picture = quillion::testing::PaintUpcA(u"036000291452");
    QtPrinter printer;
    printer.SetScaleMode(ScaleMode::Pixels);
    printer.SetCopies(1);
    printer.PaintPicture(picture, 0, 0, 520 + 1000, 115 + 1000);
    const int resolution = printer.Resolution();
    printer.EndDoc();
    WriteExpectedDarkArea(picture, 0, 0, 1520, 1115, resolution);
}

TEST(PrintThroughCups, CopiesBelowOneAreRefusedAndAnUnendedDocumentIsDropped) {
    if (Mode() != "print") {
        GTEST_SKIP() << "run by tests/scripts/test_print.sh";
    }
    EnsureGui();
    QtPrinter printer;
    try {
        printer.SetCopies(0);
        ADD_FAILURE() << "0 copies accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 380);
    }
    // Painted but never ended: the abandoned document prints nothing.
    printer.PaintPicture(quillion::testing::PaintCode128(u"AB"), 0, 0, 7800, 1725);
}

} // namespace
