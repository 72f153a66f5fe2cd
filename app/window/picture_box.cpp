#include "picture_box.h"

#include <QPainter>

namespace quillion {

namespace {
QImage View(const Image& image) {
    if (image.width <= 0 || image.height <= 0)
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  qsizetype(image.width) * qsizetype(sizeof(Pixel)), QImage::Format_RGB32);
}
} // namespace

PictureBox::PictureBox(const DrawingSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    Sync();
}

void PictureBox::Sync() {
    const QSize size(surface_.WidthPx(), surface_.HeightPx());
    if (this->size() != size)
        resize(size);
    update();
}

QImage PictureBox::Snapshot() const {
    return View(surface_.GetImage()).copy();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage image = View(surface_.GetImage());
    if (!image.isNull())
        painter.drawImage(0, 0, image);
}

} // namespace quillion
