// The real message box and save dialog behind the window's seams.
#pragma once

#include "seams.h"

#include <QString>

class QWidget;

namespace quillion {

// A message's text as the rich text the box shows: the same characters, line ends as breaks,
// blanks kept, and web addresses kept whole on one line.
QString MessageBoxMarkup(const QString& text);
MsgBoxResult ShowQtMessageBox(QWidget* parent, const MessageBoxRequest& box);
std::u16string ShowQtSaveDialog(QWidget* parent, const SaveDialogRequest& dialog);

// "JPEG Files (*.jpg)|*.jpg|" -> "JPEG Files (*.jpg)": the host's filter in Qt's form.
QString QtFilterFromHostFilter(const QString& filter);

} // namespace quillion
