#include "printer_qt.h"

#include "runtime.h"

#include <QGuiApplication>
#include <QImage>
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

QtPrinter::~QtPrinter() {
    // A document left open (no EndDoc) is abandoned, not sent.
    if (painter_ && painter_->isActive()) {
        printer_->abort();
        painter_->end();
    }
}

QPrinter& QtPrinter::Device() {
    if (printer_) {
        return *printer_;
    }
    // Without the GUI side of Qt there is no paint device to print on.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        RaisePrinterError();
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        RaisePrinterError();
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat) {
        RaisePrinterError();
    }
    printer->setFullPage(false); // coordinates from the top-left of the printable area
    printer->setDocName(QCoreApplication::applicationName().isEmpty()
                            ? QStringLiteral("Quillion")
                            : QCoreApplication::applicationName());
    printer_ = std::move(printer);
    return *printer_;
}

QPainter& QtPrinter::Page() {
    QPrinter& printer = Device();
    if (!painter_) {
        auto painter = std::make_unique<QPainter>();
        if (!painter->begin(&printer)) {
            RaisePrinterError();
        }
        painter_ = std::move(painter);
    }
    return *painter_;
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
    QPainter& painter = Page();
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height)) {
        return; // nothing to paint
    }
    // A copy: the document may keep the image after this call returns.
    const QImage image =
        QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
               picture.width * 4, QImage::Format_RGB32)
            .copy();
    if (image.isNull()) {
        throw RuntimeError(err::kOutOfMemory, "Out of memory");
    }
    // Stretched to the rectangle in both directions, without smoothing: bars stay sharp.
    const QRectF target(ToDevice(x), ToDevice(y), ToDevice(width), ToDevice(height));
    painter.drawImage(target, image, QRectF(image.rect()));
}

void QtPrinter::EndDoc() {
    QPainter& painter = Page(); // an empty page when nothing was painted
    const bool ended = painter.end();
    painter_.reset();
    const bool failed = printer_->printerState() == QPrinter::Error;
    printer_.reset(); // the next document starts afresh
    if (!ended || failed) {
        RaisePrinterError();
    }
}

std::unique_ptr<Printer> CreateDefaultPrinter() {
    return std::make_unique<QtPrinter>();
}

} // namespace quillion
