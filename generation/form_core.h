// The main window's logic without widgets: the two picture boxes, the shared Code 128 request,
// the command handlers with their numbered steps and error report, the option handlers, the
// remembered input and the mouse-pointer rules. The Qt window (Form1) drives it from its
// widgets; the command-line renderer and the tests drive it through FixedControls and a
// UserInterface of their own.
#pragma once

#include "draw/surface.h"
#include "seams.h"
#include "settings_store.h"
#include "step_runner.h"
#include "symbols/Special128.h"
#include "symbols/mBarcode.h"

#include <memory>
#include <string>

namespace quillion {

class FormCore {
public:
    // Sizes of the window's pieces, in twips (15 to the screen pixel).
    static constexpr int kPicture1Width = 7725, kPicture1Height = 1515;
    static constexpr int kPicture2Width = 525, kPicture2Height = 495;
    static constexpr int kShape1Width = 7800, kShape1Height = 1725;
    static constexpr int kCode128AreaWidth = 6405, kCode128AreaHeight = 1095;
    static constexpr int kUpcHeightPx = 109;
    static constexpr std::uint8_t kJpegQuality = 80;

    // settings may be null: nothing is remembered then.
    FormCore(FormControls& controls, UserInterface& ui, SettingsStore* settings = nullptr);

    // Command handlers (numbered steps, error report, then the next step).
    void PushButton1_Click(); // Save As JPG
    void PushButton2_Click(); // Start Generating Barcode
    void PushButton3_Click(); // Print Barcode
    void PushButton4_Click(); // Help
    void PushButton5_Click(); // Load Sample/Example Barcode

    // Handlers without an error report.
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Check4_Click();
    void Text1_Change();
    enum class PointerZone { PushButton, Plain };
    void MouseMove(PointerZone zone);

    // Fills the shared request from the controls, paints it on the surface and shows the
    // engine's message for a non-zero result. When the painted size exceeds the surface, the
    // surface takes the painted size and the request is painted again.
    void MakeCode128(DrawingSurface& surface);
    // Picture2 takes Picture1's size and pixels (hourglass pointer meanwhile).
    void CopyPicture1ToPicture2();
    // Without a window that shows Picture1, Picture2 takes Picture1's pixels rather than a
    // copy of them, and Picture1 is left blank (every generation clears it before it paints).
    void SetPicture1Shown(bool shown) { picture1Shown_ = shown; }

    DrawingSurface& Picture1() { return picture1_; }
    DrawingSurface& Picture2() { return picture2_; }
    const DrawingSurface& Picture1() const { return picture1_; }
    const DrawingSurface& Picture2() const { return picture2_; }
    const BarcodeRequest& Request() const { return request_; }
    // What saving and printing take: Picture1 for UPC-A and UPC-E, Picture2 otherwise.
    const DrawingSurface& ExportSurface() const;
    const Image& ExportPicture() const { return ExportSurface().GetImage(); }
    // Hands that picture over; its picture box is left blank at its size.
    Image TakeExportPicture();
    // The Code 128 engine's error number from the last generation (5454x), or 0.
    std::int32_t LastEngineError() const { return engineError_; }

    // The window's scale mode: the unit in which the picture boxes' outer sizes are set.
    ScaleMode WindowScaleMode() const { return windowScale_; }
    void SetWindowScaleMode(ScaleMode mode);
    // Shape1's size in the window's current unit.
    double Shape1Width() const;
    double Shape1Height() const;

    // The title of message boxes that name none of their own.
    const std::u16string& AppTitle() const { return appTitle_; }
    void SetAppTitle(); // derived from the product name
    void SetAppTitle(std::u16string title) { appTitle_ = std::move(title); }

    MousePointer GetMousePointer() const { return pointer_; }
    void SetMousePointer(MousePointer pointer);

    MsgBoxResult MsgBox(std::u16string_view text, MsgBoxButtons buttons, MsgBoxIcon icon);

    // The look the renderers paint with beyond the window's controls (module width, bar
    // height, captions of every symbology); the window keeps the usual one.
    void SetSymbolLook(const SymbolLook& look) { look_ = look; }
    const SymbolLook& Look() const { return look_; }

    FormControls& Controls() { return controls_; }
    UserInterface& Ui() { return ui_; }

private:
    void GenerateCode128(StepRunner& step);
    void GenerateCode39(StepRunner& step, const std::u16string& text);
    void GenerateUpc(StepRunner& step, UpcVariant variant, int firstStep,
                     const std::u16string& text);
    void FillRequest();
    Printer& ThePrinter();

    FormControls& controls_;
    UserInterface& ui_;
    SettingsStore* settings_;
    DrawingSurface picture1_;
    DrawingSurface picture2_;
    BarcodeRequest request_;
    std::int32_t engineError_ = 0;
    SymbolLook look_;
    ScaleMode windowScale_ = ScaleMode::Twips;
    bool picture1Shown_ = true;
    std::u16string appTitle_;
    MousePointer pointer_ = MousePointer::Default;
    std::unique_ptr<Printer> printer_;
};

} // namespace quillion
