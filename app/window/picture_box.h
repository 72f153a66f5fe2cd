// Shows a drawing surface's image at its size (the picture boxes have no border).
#pragma once

#include "surface.h"

#include <QWidget>

namespace quillion {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const DrawingSurface& surface, QWidget* parent);
    // Takes the surface's current size and repaints.
    void Sync();
    QImage Snapshot() const; // a copy of what is shown

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const DrawingSurface& surface_;
};

} // namespace quillion
