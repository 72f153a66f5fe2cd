#include "printer_qt.h"

#include "runtime/runtime.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace quillion {

namespace {

constexpr int kInvalidPropertyValue = 380;
constexpr double kTwipsPerInch = 1440.0;

[[noreturn]] void RaisePrinterError() {
    throw RuntimeError(kPrinterError, "Printer error");
}

} // namespace

QtPrinter::QtPrinter() = default;

QtPrinter::QtPrinter(QString pdfFile) : pdfFile_(std::move(pdfFile)) {}

QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::Device() {
    if (printer_) {
        return *printer_;
    }
    // Without the GUI side of Qt there is no paint device to print on.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        RaisePrinterError();
    }
    std::unique_ptr<QPrinter> printer;
    if (pdfFile_.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            RaisePrinterError();
        }
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat) {
            RaisePrinterError();
        }
    } else {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfFile_);
    }
    // Coordinates from the top-left corner of the printable area: the page's margins are the
    // printer's own minimum margins (Qt's default margins would move the picture inwards).
    printer->setFullPage(false);
    const QPageLayout layout = printer->pageLayout();
    if (!printer->setPageMargins(layout.minimumMargins(), layout.units())) {
        RaisePrinterError();
    }
    printer->setDocName(QCoreApplication::applicationName().isEmpty()
                            ? QStringLiteral("Quillion")
                            : QCoreApplication::applicationName());
    printer_ = std::move(printer);
    return *printer_;
}

int QtPrinter::Resolution() {
    return Device().resolution();
}

double QtPrinter::ToDevice(double v) const {
    return mode_ == ScaleMode::Twips ? v * printer_->resolution() / kTwipsPerInch : v;
}

void QtPrinter::SetScaleMode(ScaleMode mode) {
    Device();
    if (mode != ScaleMode::Twips && mode != ScaleMode::Pixels) {
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    }
    mode_ = mode;
}

void QtPrinter::SetCopies(int copies) {
    QPrinter& printer = Device();
    if (copies < 1) {
        throw RuntimeError(kInvalidPropertyValue, "Invalid property value");
    }
    printer.setCopyCount(copies);
}

void QtPrinter::PaintPicture(const Image& picture, double x, double y, double width,
                             double height) {
    Device();
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height)) {
        return; // nothing to paint
    }
    // A copy: the page is painted later, and the picture may change meanwhile.
    QImage image = QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                          picture.height, picture.width * 4, QImage::Format_RGB32)
                       .copy();
    if (image.isNull()) {
        throw RuntimeError(err::kOutOfMemory, "Out of memory");
    }
    page_.push_back(
        {std::move(image), QRectF(ToDevice(x), ToDevice(y), ToDevice(width), ToDevice(height))});
}

void QtPrinter::EndDoc() {
    QPrinter& printer = Device();
    std::vector<Placed> page = std::move(page_);
    page_.clear();
    std::unique_ptr<QPrinter> done = std::move(printer_); // the next document starts afresh
    // Qt's CUPS engine drops a page it cannot hand to the server without telling anyone (the
    // result of cupsPrintFile is not looked at): the printer must still be there to send to.
    if (pdfFile_.isEmpty() && QPrinterInfo::printerInfo(printer.printerName()).isNull()) {
        RaisePrinterError();
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        RaisePrinterError();
    }
    // Stretched to the rectangle in both directions, without smoothing: bars stay sharp. An
    // empty page when nothing was painted.
    for (const Placed& placed : page) {
        painter.drawImage(placed.target, placed.image, QRectF(placed.image.rect()));
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        RaisePrinterError();
    }
}

std::unique_ptr<Printer> CreateDefaultPrinter() {
    return std::make_unique<QtPrinter>();
}

} // namespace quillion
