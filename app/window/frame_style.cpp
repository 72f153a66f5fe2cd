#include "frame_style.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace quillion {

namespace {
constexpr int kTitleGap = 3; // between the title and the top line of the frame
constexpr qreal kCornerRadius = 2;
constexpr int kOutlineDarker = 140; // the outline: the background darkened by this percentage
} // namespace

FrameStyle::FrameStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

FrameStyle* FrameStyle::Instance() {
    static QPointer<FrameStyle> instance;
    if (!instance) {
        instance = new FrameStyle;
        instance->setParent(QCoreApplication::instance());
    }
    return instance;
}

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameGroupBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The frame's line starts below the title, where the application style starts it.
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const bool titled = box == nullptr || box->isCheckable() || !box->title().isEmpty();
    const int top = titled ? std::max(pixelMetric(PM_ExclusiveIndicatorHeight, option, widget),
                                      option->fontMetrics.height()) +
                                 kTitleGap
                           : kTitleGap;
    const QRectF frame = QRectF(option->rect.adjusted(0, top, 0, 0)).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(option->palette.color(QPalette::Window).darker(kOutlineDarker));
    painter->drawRoundedRect(frame, kCornerRadius, kCornerRadius);
    painter->restore();
}

} // namespace quillion
