#include "app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace quillion {

namespace {
// Bar widths of a made-up symbol, alternating bar and space, in 1/64 of the icon.
constexpr int kWidths[] = {2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 1, 1, 2, 1, 3, 2, 1, 1, 2,
                           1, 1, 2, 3, 1, 2, 1, 1, 3, 1, 2, 2, 1, 1, 1, 2, 1, 1, 2, 3};

} // namespace

QImage DrawAppIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double unit = side / 64.0;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0, 0, side, side), 6 * unit, 6 * unit);
    double x = 6 * unit;
    bool bar = true;
    for (int w : kWidths) {
        if (bar)
            p.fillRect(QRectF(x, 8 * unit, w * unit, 40 * unit), QColor(20, 30, 60));
        x += w * unit;
        bar = !bar;
    }
    p.fillRect(QRectF(6 * unit, 52 * unit, 52 * unit, 4 * unit), QColor(200, 60, 40));
    p.end();
    return image;
}

QIcon MakeAppIcon() {
    QIcon icon;
    for (int side : kAppIconSides)
        icon.addPixmap(QPixmap::fromImage(DrawAppIcon(side)));
    return icon;
}

} // namespace quillion
