// The frames' style: the application's style, except that a frame draws its outline only and
// leaves its inside to the background it stands on (the application style fills it with a
// tint, which shows as patches around the option buttons and check box that fill their own).
#pragma once

#include <QProxyStyle>

namespace quillion {

class FrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    // One instance for the program, owned by the application object.
    static FrameStyle* Instance();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    FrameStyle();
};

} // namespace quillion
