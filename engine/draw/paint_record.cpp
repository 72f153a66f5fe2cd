#include "draw/paint_record.h"

namespace quillion {

void ReplayPaintRecord(const PaintRecord& record, Image& image) {
    for (const PaintOperation& op : record.operations) {
        if (const auto* fill = std::get_if<PaintedFill>(&op)) {
            FillBox(image, fill->box, fill->pixel);
        } else {
            const PaintedText& t = std::get<PaintedText>(op);
            t.font->Draw(image, t.x, t.y, t.ansi, t.color, t.charExtra, t.clip);
        }
    }
}

} // namespace quillion
