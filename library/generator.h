// The window's generate handler without the window: FormCore::PushButton2_Click on controls
// that hold the command line's settings, with the messages the window would show collected
// instead of shown.
#pragma once

#include "form_core.h"
#include "window_controls.h"

#include <string>
#include <utility>
#include <vector>

namespace quillion::library {

// A user interface that shows nothing: message boxes are kept for the caller as one line
// each, the pointer and the event loop are ignored, and there is no printer or save dialog.
class CollectingInterface : public UserInterface {
public:
    std::vector<std::string> messages; // UTF-8
    bool errorReport = false;          // one of them was the application error report

    MsgBoxResult ShowMessage(const MessageBoxRequest& box) override;
    std::u16string ShowSaveDialog(const SaveDialogRequest&) override { return {}; }
    void DoEvents() override {}
    void SetMousePointer(MousePointer) override {}
    std::unique_ptr<Printer> CreatePrinter() override { return nullptr; }
};

// The line a message box becomes: its text, or for the error report "Application Error: "
// with the description and the place it names, without the request for a screenshot.
std::string MessageLine(const MessageBoxRequest& box);

struct Generation {
    // What "Save As JPG" would save: the export picture, or null when the generation failed
    // (a message was shown, or nothing was painted) or when its painting was kept instead.
    // Valid until the next Generate.
    const Image* picture = nullptr;
    // For a generator that keeps paintings: that picture as its painting on white, not painted
    // (null when the picture is given instead). Valid until the next Generate.
    const PaintRecord* painting = nullptr;
    int width = 0, height = 0;    // the picture's size, either way
    std::string message;          // why it failed: the window's messages, "; " between them
    std::int32_t engineError = 0; // the Code 128 engine's number (5454x) when it refused
    bool errorReport = false;     // the window showed its application error report
};

// The window's controls as the command line sets them. (FixedControls does the same, but lives
// beside HeadlessInterface, whose printer would make every run load Qt's GUI and printing
// libraries; start-up time counts in short batches.)
class CommandLineControls : public FormControls {
public:
    std::u16string text;
    ControlSettings settings;

    std::u16string Text() const override { return text; }
    void SetText(const std::u16string& t) override { text = t; }
    Symbology SelectedSymbology() const override { return settings.type; }
    bool CaptionTicked() const override { return settings.caption; }
    int CaptionPositionIndex() const override { return settings.captionPositionIndex; }
    int FontStyleIndex() const override { return settings.fontStyleIndex; }
    void SetTypingLimit(int) override {}
    void SetOptionsFrameEnabled(bool) override {}
};

// One window's worth of state; one per thread.
class Generator {
public:
    // What a generation keeps of its picture: the pixels; the pixels and what the renderer
    // painted (Record()); or what the renderer painted only (Generation::painting) when that
    // is all of it, the pixels made only when asked for (Picture(), TakePicture()).
    enum class Keep { Pixels, PixelsAndRecord, Painting };
    explicit Generator(const ControlSettings& settings, Keep keep = Keep::Pixels);
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    Generation Generate(const std::u16string& text);
    // Hands over the picture of the last successful generation (Generation::picture), which
    // is left blank.
    Image TakePicture() { return core_.TakeExportPicture(); }
    // The pixels of the last successful generation's picture.
    const Image& Picture() const { return core_.ExportPicture(); }

    // The module width, bar height and caption the next generations paint with (see
    // FormCore::SetSymbolLook); the window's look unless set.
    void SetLook(const SymbolLook& look) { core_.SetSymbolLook(look); }

    // What the last generation painted into the picture it returned, as fills and texts; null
    // without recordPainting. Valid while the generator lives, updated by Generate.
    const PaintRecord* Record() const {
        return keep_ == Keep::PixelsAndRecord ? &record_ : nullptr;
    }
    // Hands over that record; the next generation starts a new one.
    PaintRecord TakeRecord() { return std::exchange(record_, PaintRecord{}); }

private:
    Keep keep_;
    PaintRecord record_;
    PaintRecord exportRecord_; // Picture2's painting, when paintings are kept
    CommandLineControls controls_;
    CollectingInterface ui_;
    FormCore core_;
};

} // namespace quillion::library
