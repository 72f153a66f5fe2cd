#include "picture_box.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

int PictureBox::ScreenScale() const {
    return std::max(1, int(std::floor(devicePixelRatioF())));
}

QSize PictureBox::ShownSize() const {
    // The image as drawn: its pixels x the screen scale, in device-independent pixels.
    const double perPixel = ScreenScale() / devicePixelRatioF();
    return QSize(int(std::ceil(surface_.WidthPx() * perPixel - 1e-9)),
                 int(std::ceil(surface_.HeightPx() * perPixel - 1e-9)));
}

void PictureBox::Sync() {
    if (const QSize shown = ShownSize(); size() != shown)
        resize(shown);
    update();
}

QImage PictureBox::Snapshot() const {
    return View(surface_.GetImage()).copy();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (size() != ShownSize()) // moved to a screen with another pixel ratio
        QMetaObject::invokeMethod(this, &PictureBox::Sync, Qt::QueuedConnection);
    QPainter painter(this);
    // Work in device pixels, from a whole device pixel: the widget may start half-way into one.
    const qreal ratio = devicePixelRatioF();
    painter.scale(1 / ratio, 1 / ratio);
    const QPointF origin = painter.deviceTransform().map(QPointF(0, 0));
    painter.translate(std::round(origin.x()) - origin.x(), std::round(origin.y()) - origin.y());
    const QRect device(0, 0, int(std::ceil(width() * ratio)) + 1,
                       int(std::ceil(height() * ratio)) + 1);
    const QImage image = View(surface_.GetImage());
    const int scale = ScreenScale();
    const QRect target(0, 0, image.width() * scale, image.height() * scale);
    if (!image.isNull())
        painter.drawImage(target, image); // no smoothing: each pixel becomes scale x scale
    // What the image leaves uncovered shows the white backing.
    const QRegion rest = QRegion(device).subtracted(QRegion(target));
    for (const QRect& r : rest)
        painter.fillRect(r, Qt::white);
}

} // namespace quillion
