#include "limited_line_edit.h"

#include <QValidator>

#include <algorithm>
#include <limits>

namespace quillion {

class LimitedLineEdit::Validator : public QValidator {
public:
    explicit Validator(LimitedLineEdit& edit) : QValidator(&edit), edit_(edit) {}

    State validate(QString& input, int& pos) const override {
        const QString& old = edit_.lastText_;
        if (edit_.programSet_ || edit_.limit_ <= 0 || input.size() <= edit_.limit_)
            return Acceptable;
        // The edit replaced old[prefix, old.size() - suffix) by input[prefix, input.size() -
        // suffix); keep as much of the inserted part as the limit allows.
        const qsizetype most = std::min(old.size(), input.size());
        qsizetype prefix = 0;
        while (prefix < most && old[prefix] == input[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < most - prefix &&
               old[old.size() - 1 - suffix] == input[input.size() - 1 - suffix])
            ++suffix;
        const qsizetype removed = old.size() - prefix - suffix;
        const qsizetype inserted = input.size() - prefix - suffix;
        qsizetype room = std::max<qsizetype>(0, edit_.limit_ - (old.size() - removed));
        if (inserted <= room)
            return Acceptable;
        // Never keep half of a surrogate pair.
        if (room > 0 && input[prefix + room - 1].isHighSurrogate())
            --room;
        input = old.left(prefix) + input.mid(prefix, room) + old.right(suffix);
        pos = int(prefix + room);
        return Acceptable;
    }

private:
    LimitedLineEdit& edit_;
};

LimitedLineEdit::LimitedLineEdit(QWidget* parent) : QLineEdit(parent) {
    // The text box itself has no length limit of its own (Qt's default cuts at 32767).
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new Validator(*this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) { lastText_ = t; });
}

void LimitedLineEdit::SetProgramText(const QString& text) {
    programSet_ = true;
    setText(text);
    programSet_ = false;
    lastText_ = this->text();
}

} // namespace quillion
