// Controls and a user interface without widgets: for callers that run the window's logic
// without a window (the command-line renderer, tests). Messages are recorded and, when a
// stream is given, written to it one per line.
#pragma once

#include "seams.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quillion {

class FixedControls : public FormControls {
public:
    std::u16string text;
    Symbology symbology = Symbology::Code128;
    bool captionTicked = true;
    int captionPositionIndex = 0; // 0 Bottom, 1 Top
    int fontStyleIndex = 0;       // 0 Regular, 1 Bold, 2 Italic, 3 BoldItalic, 4 Underline
    int typingLimit = 0;          // 0: none set
    bool optionsFrameEnabled = true;
    std::function<void()> onTextChange; // called after every SetText

    std::u16string Text() const override { return text; }
    void SetText(const std::u16string& t) override;
    Symbology SelectedSymbology() const override { return symbology; }
    bool CaptionTicked() const override { return captionTicked; }
    int CaptionPositionIndex() const override { return captionPositionIndex; }
    int FontStyleIndex() const override { return fontStyleIndex; }
    void SetTypingLimit(int characters) override { typingLimit = characters; }
    void SetOptionsFrameEnabled(bool enabled) override { optionsFrameEnabled = enabled; }
};

class HeadlessInterface : public UserInterface {
public:
    // messages: where each message box's text goes (UTF-8, one line per box, CR and LF shown
    // as blanks), or null.
    explicit HeadlessInterface(std::ostream* messages = nullptr) : stream_(messages) {}

    std::vector<MessageBoxRequest> messages;
    std::vector<SaveDialogRequest> saveDialogs;
    std::u16string saveFileName; // what the save dialog answers
    std::vector<MousePointer> pointers;
    int doEventsCalls = 0;
    std::function<std::unique_ptr<Printer>()> printerFactory; // default: CreateDefaultPrinter
    std::function<void(std::u16string_view, int)> beforeStep; // default: nothing

    MsgBoxResult ShowMessage(const MessageBoxRequest& box) override;
    std::u16string ShowSaveDialog(const SaveDialogRequest& dialog) override;
    void DoEvents() override { ++doEventsCalls; }
    void SetMousePointer(MousePointer pointer) override { pointers.push_back(pointer); }
    std::unique_ptr<Printer> CreatePrinter() override;
    void BeforeStep(std::u16string_view handlerName, int step) override {
        if (beforeStep)
            beforeStep(handlerName, step);
    }

private:
    std::ostream* stream_;
};

// UTF-16 to UTF-8 (unpaired surrogates become U+FFFD).
std::string ToUtf8(std::u16string_view text);

} // namespace quillion
