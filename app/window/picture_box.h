// Shows a drawing surface's image (the picture boxes have no border). On a screen with a device
// pixel ratio above 1 the image is drawn at a whole-number scale (the ratio rounded down), pixel
// for pixel without smoothing, so that every module of a barcode is equally wide on screen.
#pragma once

#include "draw/surface.h"

#include <QWidget>

namespace quillion {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const DrawingSurface& surface, QWidget* parent);
    // Takes the surface's current size and repaints.
    void Sync();
    QImage Snapshot() const; // a copy of what is shown
    // Screen pixels per image pixel: the device pixel ratio rounded down, at least 1.
    int ScreenScale() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize ShownSize() const;
    const DrawingSurface& surface_;
};

} // namespace quillion
