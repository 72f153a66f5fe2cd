// The default printer over Qt Print Support (CUPS on Linux). QPrinter and QPainter need the GUI
// side of Qt: the program must have a QGuiApplication (or QApplication) before the first
// operation, or that operation raises error 482.
#pragma once

#include "Printer.h"

#include <QImage>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QPrinter;

namespace quillion {

inline constexpr int kPrinterError = 482; // "Printer error"

class QtPrinter final : public Printer {
public:
    QtPrinter();
    // Prints into a PDF file instead of the default printer (Qt's own PDF output).
    explicit QtPrinter(QString pdfFile);
    ~QtPrinter() override;

    void SetScaleMode(ScaleMode mode) override;
    void SetCopies(int copies) override;
    void PaintPicture(const Image& picture, double x, double y, double width,
                      double height) override;
    void EndDoc() override;

    // The printer's resolution in dots per inch: printer pixels per inch.
    int Resolution();

private:
    QPrinter& Device(); // the default printer, found on first use
    double ToDevice(double v) const;

    struct Placed {
        QImage image;
        QRectF target; // printer pixels
    };

    std::unique_ptr<QPrinter> printer_;
    // What the page will hold. The page is painted and sent by EndDoc only: Qt cannot abort a
    // CUPS document once painting has begun, and a document never ended must print nothing.
    std::vector<Placed> page_;
    ScaleMode mode_ = ScaleMode::Twips;
    QString pdfFile_; // empty: the default printer
};

} // namespace quillion
