// The default printer over Qt Print Support (CUPS on Linux). QPrinter and QPainter need the GUI
// side of Qt: the program must have a QGuiApplication (or QApplication) before the first
// operation, or that operation raises error 482.
#pragma once

#include "Printer.h"

#include <memory>

class QPainter;
class QPrinter;

namespace quillion {

inline constexpr int kPrinterError = 482; // "Printer error"

class QtPrinter final : public Printer {
public:
    QtPrinter();
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
    QPainter& Page();   // the painter of the open document, begun on first use
    double ToDevice(double v) const;

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    ScaleMode mode_ = ScaleMode::Twips;
};

} // namespace quillion
