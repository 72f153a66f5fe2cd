// The default printer as the print handler uses it: a scale mode, one further setting, a
// stretch-paint of a picture and the end of the document. Failures raise RuntimeError.
#pragma once

#include "draw/color.h"
#include "draw/surface.h"

#include <memory>

namespace quillion {

class Printer {
public:
    virtual ~Printer() = default;
    // Units of the rectangles passed to PaintPicture: twips (1440 to the inch) or printer pixels.
    virtual void SetScaleMode(ScaleMode mode) = 0;
    // The one further setting of the handler (the number of copies); 1 leaves the output as is.
    virtual void SetCopies(int copies) = 0;
    // Stretches the picture into the rectangle (x, y, width, height) in the current scale mode,
    // measured from the top-left corner of the printable area. Starts the page if needed.
    virtual void PaintPicture(const Image& picture, double x, double y, double width,
                              double height) = 0;
    // Ends the document and sends the page (an empty page when nothing was painted).
    virtual void EndDoc() = 0;
};

// The system's default printer (CUPS through Qt Print Support). Creating it does not fail; the
// first operation on it raises RuntimeError when there is no default printer.
std::unique_ptr<Printer> CreateDefaultPrinter();

} // namespace quillion
