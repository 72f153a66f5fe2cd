#include "headless.h"

#include <QString>

namespace quillion {

void FixedControls::SetText(const std::u16string& t) {
    text = t;
    if (onTextChange)
        onTextChange();
}

MsgBoxResult HeadlessInterface::ShowMessage(const MessageBoxRequest& box) {
    messages.push_back(box);
    if (stream_) {
        std::string line = ToUtf8(box.text);
        for (char& c : line)
            if (c == '\r' || c == '\n')
                c = ' ';
        *stream_ << line << '\n';
    }
    return MsgBoxResult::Ok;
}

std::u16string HeadlessInterface::ShowSaveDialog(const SaveDialogRequest& dialog) {
    saveDialogs.push_back(dialog);
    return saveFileName;
}

std::unique_ptr<Printer> HeadlessInterface::CreatePrinter() {
    return printerFactory ? printerFactory() : CreateDefaultPrinter();
}

std::string ToUtf8(std::u16string_view text) {
    // QStringView keeps a leading U+FEFF or U+FFFE; fromUtf16 would take it for a byte-order mark.
    return QStringView(text).toUtf8().toStdString();
}

} // namespace quillion
