// A single-line text box whose typing limit limits typing and pasting only: text set by the
// program is never cut, and the user can always delete.
#pragma once

#include <QLineEdit>

namespace quillion {

class LimitedLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LimitedLineEdit(QWidget* parent = nullptr);

    // 0: no limit. A text already longer than the limit stays; insertions are cut to what
    // still fits, as a Windows edit control cuts them.
    void SetTypingLimit(int characters) { limit_ = characters; }
    int TypingLimit() const { return limit_; }
    // Sets the text as the program does: whole, whatever its length.
    void SetProgramText(const QString& text);

private:
    class Validator;
    friend class Validator;

    int limit_ = 0;
    bool programSet_ = false;
    QString lastText_; // the text before the edit being validated
};

} // namespace quillion
