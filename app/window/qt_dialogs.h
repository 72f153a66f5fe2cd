// The real message box and save dialog behind the window's seams.
#pragma once

#include "seams.h"

#include <QString>

class QWidget;

namespace quillion {

MsgBoxResult ShowQtMessageBox(QWidget* parent, const MessageBoxRequest& box);
std::u16string ShowQtSaveDialog(QWidget* parent, const SaveDialogRequest& dialog);

// "JPEG Files (*.jpg)|*.jpg|" -> "JPEG Files (*.jpg)": the host's filter in Qt's form.
QString QtFilterFromHostFilter(const QString& filter);

} // namespace quillion
