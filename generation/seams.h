// What the window's logic needs from the outside: the controls it reads and sets, and the ways
// it talks to the user (message boxes, the save dialog, yielding to the event loop, the mouse
// pointer, the printer). The Qt window implements them with widgets; the command-line renderer
// and the tests implement them without.
#pragma once

#include "Printer.h"

#include <memory>
#include <string>
#include <string_view>

namespace quillion {

enum class Symbology { None, Code128, Code39, UpcA, UpcE };

// The controls of the main window as the handlers see them.
class FormControls {
public:
    virtual ~FormControls() = default;
    virtual std::u16string Text() const = 0; // Text1
    // Text set by the program: never cut by the typing limit; fires Text1_Change.
    virtual void SetText(const std::u16string& text) = 0;
    virtual Symbology SelectedSymbology() const = 0;       // Option1..Option4
    virtual bool CaptionTicked() const = 0;                // Check4 has the value 1
    virtual int CaptionPositionIndex() const = 0;          // Combo1: 0 Bottom, 1 Top
    virtual int FontStyleIndex() const = 0;                // Combo2: 0 Regular .. 4 Underline
    virtual void SetTypingLimit(int characters) = 0;       // limits typing and pasting into Text1
    virtual void SetOptionsFrameEnabled(bool enabled) = 0; // Frame2, "Barcode 128 Options"
};

// Message box styles by the host's numbers, so a box reads as it is called.
enum class MsgBoxButtons { OkOnly = 0, OkCancel = 1, YesNo = 4 };
enum class MsgBoxIcon {
    None = 0,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64
};
enum class MsgBoxResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageBoxRequest {
    std::u16string text;
    MsgBoxButtons buttons = MsgBoxButtons::OkOnly;
    MsgBoxIcon icon = MsgBoxIcon::None;
    std::u16string title;
    bool operator==(const MessageBoxRequest&) const = default;
};

// The common file dialog as the save handler sets it up. The filter is in the host's
// "description|pattern|" form.
struct SaveDialogRequest {
    std::u16string fileName;
    std::u16string title;
    std::u16string filter;
};

enum class MousePointer { Default = 0, Hourglass = 11, Custom = 99 };

class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual MsgBoxResult ShowMessage(const MessageBoxRequest& box) = 0;
    // Shows the save dialog; returns the chosen file name, or "" when the user cancelled.
    virtual std::u16string ShowSaveDialog(const SaveDialogRequest& dialog) = 0;
    // Lets the window process pending events (the cleared picture shows).
    virtual void DoEvents() = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    virtual std::unique_ptr<Printer> CreatePrinter() = 0;
    // Called as each numbered step of a command handler begins; whatever it raises fails that
    // step as the step's own failure would. Nothing by default: tests use it to fail a chosen
    // step and read back the report's step number.
    virtual void BeforeStep(std::u16string_view /*handlerName*/, int /*step*/) {}
};

} // namespace quillion
