#include "qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStringList>

namespace quillion {

namespace {

QMessageBox::Icon IconOf(MsgBoxIcon icon) {
    switch (icon) {
    case MsgBoxIcon::Critical:
        return QMessageBox::Critical;
    case MsgBoxIcon::Question:
        return QMessageBox::Question;
    case MsgBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxIcon::Information:
        return QMessageBox::Information;
    case MsgBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString MessageBoxMarkup(const QString& text) {
    constexpr char16_t kWordJoiner = 0x2060;
    // The host's line ends (CR LF, lone CR) become line breaks; blanks stay as they are.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QString markup;
    static const QRegularExpression address(QStringLiteral("(?:https?|mailto):[^\\s]+"));
    qsizetype done = 0;
    for (auto it = address.globalMatch(lines); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        markup += lines.mid(done, match.capturedStart() - done).toHtmlEscaped();
        // An address is never broken across lines. Qt's rich text ignores white-space on a span
        // and breaks after "/" and before "." like any line breaker, so a word joiner (U+2060,
        // zero width, no break on either side) stands between each two characters.
        const QString whole = match.captured();
        QString joined;
        for (qsizetype i = 0; i < whole.size(); ++i) {
            if (i > 0 && !whole[i].isLowSurrogate() && !whole[i].isMark())
                joined += QChar(kWordJoiner);
            joined += whole[i];
        }
        markup += joined.toHtmlEscaped();
        done = match.capturedEnd();
    }
    markup += lines.mid(done).toHtmlEscaped();
    markup.replace(u'\n', QStringLiteral("<br>"));
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + markup + QStringLiteral("</p>");
}

MsgBoxResult ShowQtMessageBox(QWidget* parent, const MessageBoxRequest& box) {
    // QStringView, not fromStdU16String, which takes a leading U+FEFF or U+FFFE for a
    // byte-order mark.
    QMessageBox message(IconOf(box.icon), QStringView(box.title).toString(),
                        MessageBoxMarkup(QStringView(box.text).toString()), QMessageBox::NoButton,
                        parent);
    message.setTextFormat(Qt::RichText);
    switch (box.buttons) {
    case MsgBoxButtons::OkOnly:
        message.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgBoxButtons::OkCancel:
        message.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgBoxButtons::YesNo:
        message.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (message.exec()) {
    case QMessageBox::Cancel:
        return MsgBoxResult::Cancel;
    case QMessageBox::Yes:
        return MsgBoxResult::Yes;
    case QMessageBox::No:
        return MsgBoxResult::No;
    default:
        return MsgBoxResult::Ok;
    }
}

QString QtFilterFromHostFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        filters << (description.contains(u'(')
                        ? description
                        : description + QStringLiteral(" (") + patterns + QStringLiteral(")"));
    }
    return filters.join(QStringLiteral(";;"));
}

std::u16string ShowQtSaveDialog(QWidget* parent, const SaveDialogRequest& dialog) {
    return QFileDialog::getSaveFileName(
               parent, QStringView(dialog.title).toString(),
               QStringView(dialog.fileName).toString(),
               QtFilterFromHostFilter(QStringView(dialog.filter).toString()))
        .toStdU16String();
}

} // namespace quillion
