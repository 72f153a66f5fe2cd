#include "form_core.h"

#include "SaveAsJPG.h"
#include "app_title.h"
#include "messages.h"
#include "runtime/ansi.h"
#include "runtime/runtime.h"
#include "symbols/bar39.h"
#include "symbols/code128_caption.h"
#include "symbols/code128_window_request.h"
#include "text_checks.h"

#include <algorithm>

namespace quillion {

namespace {

constexpr int kCode128TypingLimit = 21;
constexpr int kCode39TypingLimit = 21;
constexpr int kUpcALength = 12;
constexpr int kUpcELength = 6;
constexpr double kCode39InnerHeightPx = 56.0; // 40 x 1.4

bool IsUpc(Symbology s) {
    return s == Symbology::UpcA || s == Symbology::UpcE;
}

// Puts the pointer back to the default however the copy ends.
class PointerGuard {
public:
    explicit PointerGuard(FormCore& form) : form_(form) {
        form_.SetMousePointer(MousePointer::Hourglass);
    }
    ~PointerGuard() { form_.SetMousePointer(MousePointer::Default); }
    PointerGuard(const PointerGuard&) = delete;
    PointerGuard& operator=(const PointerGuard&) = delete;

private:
    FormCore& form_;
};

} // namespace

FormCore::FormCore(FormControls& controls, UserInterface& ui, SettingsStore* settings)
    : controls_(controls), ui_(ui), settings_(settings),
      picture1_(kPicture1Width / kTwipsPerPixel, kPicture1Height / kTwipsPerPixel),
      picture2_(kPicture2Width / kTwipsPerPixel, kPicture2Height / kTwipsPerPixel),
      appTitle_(kProductName) {
    picture1_.SetAutoRedraw(true);
    picture2_.SetAutoRedraw(true);
    SetWindowScaleMode(ScaleMode::Twips);
}

void FormCore::SetWindowScaleMode(ScaleMode mode) {
    windowScale_ = mode;
    picture1_.SetContainerScaleMode(mode);
    picture2_.SetContainerScaleMode(mode);
}

double FormCore::Shape1Width() const {
    return windowScale_ == ScaleMode::Twips ? kShape1Width : kShape1Width / kTwipsPerPixel;
}

double FormCore::Shape1Height() const {
    return windowScale_ == ScaleMode::Twips ? kShape1Height : kShape1Height / kTwipsPerPixel;
}

void FormCore::SetAppTitle() {
    appTitle_ = AppTitleFromProductName(kProductName);
}

void FormCore::SetMousePointer(MousePointer pointer) {
    pointer_ = pointer;
    ui_.SetMousePointer(pointer);
}

MsgBoxResult FormCore::MsgBox(std::u16string_view text, MsgBoxButtons buttons, MsgBoxIcon icon) {
    return ui_.ShowMessage({std::u16string(text), buttons, icon, appTitle_});
}

const DrawingSurface& FormCore::ExportSurface() const {
    return IsUpc(controls_.SelectedSymbology()) ? picture1_ : picture2_;
}

Image FormCore::TakeExportPicture() {
    return IsUpc(controls_.SelectedSymbology()) ? picture1_.TakeImage() : picture2_.TakeImage();
}

// ---- Generating ----------------------------------------------------------------------------

void FormCore::PushButton2_Click() {
    engineError_ = 0;
    StepRunner step(ui_, u"PushButton2_Click");
    const Symbology chosen = controls_.SelectedSymbology(); // (100)
    // The Code 39 and UPC renderers get the text that was checked, even when the user edits it
    // while the cleared picture is being shown.
    const std::u16string text = controls_.Text();
    if (IsUpc(chosen)) {
        // Numeric means ASCII digits only, tested before the picture area is touched.
        bool numeric = false;
        step(102, [&] { numeric = IsAllDigits(text); });
        if (!numeric) {
            step(104, [&] { MsgBox(kMsgNotNumeric, MsgBoxButtons::OkOnly, MsgBoxIcon::None); });
            return;
        }
        // A UPC-A whose check digit is wrong would paint a symbol no reader accepts: name the
        // right digit and leave the picture area as it is.
        if (const auto right = WrongUpcACheckDigit(text); chosen == Symbology::UpcA && right) {
            step(104, [&] {
                MsgBox(kMsgUpcACheckDigit + std::u16string(1, *right), MsgBoxButtons::OkOnly,
                       MsgBoxIcon::Information);
            });
            return;
        }
    } else if (chosen == Symbology::Code39 && !IsCode39Text(text)) {
        // A character without a Code 39 pattern would be left out of the bars while the
        // caption shows it; refuse the text and leave the picture area as it is.
        step(104,
             [&] { MsgBox(kMsgCode39Characters, MsgBoxButtons::OkOnly, MsgBoxIcon::Information); });
        return;
    }

    step(106, [&] { picture1_.SetScaleMode(ScaleMode::Pixels); });
    step(108, [&] { picture1_.SetAutoRedraw(true); });
    step(110, [&] { picture1_.Cls(); });
    step(112, [&] { ui_.DoEvents(); });
    step(114, [&] { ui_.DoEvents(); });

    // (116, 140, 158, 176) The symbology the input was checked for, even when the user picked
    // another one while the cleared picture was being shown.
    switch (chosen) {
    case Symbology::Code128:
        GenerateCode128(step);
        break;
    case Symbology::Code39:
        GenerateCode39(step, text);
        break;
    case Symbology::UpcA:
        GenerateUpc(step, UpcVariant::UpcA, 160, text);
        break;
    case Symbology::UpcE:
        GenerateUpc(step, UpcVariant::UpcE, 178, text);
        break;
    case Symbology::None:
        break;
    }
}

void FormCore::GenerateCode128(StepRunner& step) {
    step(118, [&] { SetWindowScaleMode(ScaleMode::Twips); });
    step(120, [&] { picture1_.ClearPicture(); });
    step(122, [&] { picture1_.SetOuterHeight(kCode128AreaHeight); });
    step(124, [&] { picture1_.SetOuterWidth(kCode128AreaWidth); });
    step(126, [&] { picture1_.Cls(); });
    step(128, [&] { ui_.DoEvents(); });
    step(130, [&] { ui_.DoEvents(); });
    step(132, [&] { MakeCode128(picture1_); });
    step(134, [&] { picture1_.SetOuterWidth(double(request_.Width) * kTwipsPerPixel); });
    step(136, [&] { picture1_.SetOuterHeight(double(request_.Height) * kTwipsPerPixel); });
    step(138, [&] { CopyPicture1ToPicture2(); });
}

void FormCore::GenerateCode39(StepRunner& step, const std::u16string& text) {
    step(142, [&] { SetWindowScaleMode(ScaleMode::Twips); });
    step(144, [&] {
        // Outer height x 56 / inner height gives an inner height of about 56 pixels. An area
        // that an engine error shrank to nothing has no inner height to scale by: it is given
        // the 56 pixels directly instead of failing on every later Code 39 generation.
        const double inner = picture1_.ScaleHeight();
        if (inner > 0)
            picture1_.SetOuterHeight(picture1_.OuterHeight() * kCode39InnerHeightPx / inner);
        else
            picture1_.SetOuterHeight(kCode39InnerHeightPx * kTwipsPerPixel);
    });
    step(146, [&] { picture1_.SetFontSize(10); });
    step(148, [&] { picture1_.Cls(); });
    step(150, [&] { ui_.DoEvents(); });
    step(152, [&] { ui_.DoEvents(); });
    step(154, [&] { DrawCode39(text, picture1_, look_); });
    step(156, [&] { CopyPicture1ToPicture2(); });
}

void FormCore::GenerateUpc(StepRunner& step, UpcVariant variant, int first,
                           const std::u16string& text) {
    const bool upcA = variant == UpcVariant::UpcA;
    step(first, [&] { SetWindowScaleMode(ScaleMode::Pixels); });
    step(first + 2, [&] { picture1_.SetOuterHeight(kUpcHeightPx); });
    step(first + 4, [&] { picture1_.Cls(); });
    step(first + 6, [&] { ui_.DoEvents(); });
    step(first + 8, [&] { ui_.DoEvents(); });
    bool rightLength = false;
    step(first + 10,
         [&] { rightLength = text.size() == std::size_t(upcA ? kUpcALength : kUpcELength); });
    if (!rightLength) {
        step(first + 12, [&] {
            MsgBox(upcA ? kMsgUpcALength : kMsgUpcELength, MsgBoxButtons::OkOnly,
                   MsgBoxIcon::Information);
        });
        return;
    }
    step(first + 14, [&] { DrawUpc(picture1_, text, variant, look_); });
}

void FormCore::FillRequest() {
    const std::u16string text = controls_.Text();
    request_ = WindowCode128Request(text, controls_.CaptionTicked() && look_.caption,
                                    controls_.CaptionPositionIndex() + kCaptionBottom,
                                    controls_.FontStyleIndex());
    // A wider module makes the whole symbol larger, its caption with it.
    const std::int32_t module = look_.moduleWidth > 0 ? look_.moduleWidth : 1;
    request_.ModuleWidth = module;
    request_.FontSize = Mul32(request_.FontSize, module);
    request_.BarHeight = look_.barHeight > 0 ? look_.barHeight : Mul32(request_.BarHeight, module);
}

void FormCore::MakeCode128(DrawingSurface& surface) {
    surface.Cls();
    FillRequest();
    const std::int32_t result = DrawCode128(request_, surface.hDC());
    if (result != 0) {
        engineError_ = result;
        MsgBox(Utf8ToUtf16(Code128ErrorText(result)), MsgBoxButtons::OkOnly, MsgBoxIcon::None);
        return;
    }
    if (request_.Width <= surface.WidthPx() && request_.Height <= surface.HeightPx())
        return;
    // The engine paints on the area it is given and reports the size it needed: a symbol
    // larger than the area would lose its right part. Give the area the painted size and
    // paint again. If that size cannot be had, show nothing rather than a cut symbol.
    try {
        surface.ResizePixels(request_.Width, request_.Height);
        surface.Cls();
        FillRequest();
        DrawCode128(request_, surface.hDC());
    } catch (...) {
        request_.Width = 0;
        request_.Height = 0;
        throw;
    }
}

void FormCore::CopyPicture1ToPicture2() {
    PointerGuard hourglass(*this);
    if (picture1Shown_)
        picture2_.CopyImageFrom(picture1_);
    else
        picture2_.TakeImageFrom(picture1_);
}

// ---- Saving and printing -------------------------------------------------------------------

void FormCore::PushButton1_Click() {
    StepRunner step(ui_, u"PushButton1_Click");
    SaveDialogRequest dialog;
    step(106, [&] { dialog.fileName.clear(); });
    step(108, [&] { dialog.title = kSaveDialogTitle; });
    step(110, [&] { dialog.filter = kSaveDialogFilter; });
    step(112, [&] { dialog.fileName = ui_.ShowSaveDialog(dialog); });
    if (dialog.fileName.empty()) // (114) cancelled
        return;
    if (IsUpc(controls_.SelectedSymbology())) { // (116)
        step(118, [&] { SavePictureAsJpeg(picture1_.GetImage(), dialog.fileName, kJpegQuality); });
        return;
    }
    step(120, [&] { SavePictureAsJpeg(picture2_.GetImage(), dialog.fileName, kJpegQuality); });
}

Printer& FormCore::ThePrinter() {
    if (!printer_)
        printer_ = ui_.CreatePrinter();
    if (!printer_)
        throw RuntimeError(482, "Printer error");
    return *printer_;
}

void FormCore::PushButton3_Click() {
    StepRunner step(ui_, u"PushButton3_Click");
    printer_.reset();
    const Symbology chosen = controls_.SelectedSymbology();
    if (!IsUpc(chosen) && chosen != Symbology::None) { // (106)
        step(108, [&] { SetWindowScaleMode(ScaleMode::Twips); });
        step(110, [&] { ThePrinter().SetScaleMode(ScaleMode::Twips); });
    } else if (IsUpc(chosen)) { // (112)
        step(114, [&] { SetWindowScaleMode(ScaleMode::Pixels); });
        step(116, [&] { ThePrinter().SetScaleMode(ScaleMode::Pixels); });
    }
    step(118, [&] { ThePrinter().SetCopies(1); });
    if (IsUpc(controls_.SelectedSymbology())) { // (120)
        step(122, [&] {
            ThePrinter().PaintPicture(picture1_.GetImage(), 0, 0, Shape1Width() + 1000,
                                      Shape1Height() + 1000);
        });
    } else if (controls_.SelectedSymbology() != Symbology::None) { // (124)
        step(126, [&] {
            ThePrinter().PaintPicture(picture2_.GetImage(), 0, 0, Shape1Width(), Shape1Height());
        });
    }
    step(128, [&] { ThePrinter().EndDoc(); });
    printer_.reset();
}

// ---- Help and sample -----------------------------------------------------------------------

void FormCore::PushButton4_Click() {
    StepRunner step(ui_, u"PushButton4_Click");
    step(100, [&] { MsgBox(kHelpText, MsgBoxButtons::OkOnly, MsgBoxIcon::None); });
}

void FormCore::PushButton5_Click() {
    StepRunner step(ui_, u"PushButton5_Click");
    step(100, [&] { controls_.SetText(kSampleText); });
}

// ---- Options, remembered input, pointer -----------------------------------------------------

void FormCore::Option1_Click() {
    controls_.SetTypingLimit(kCode128TypingLimit);
    controls_.SetOptionsFrameEnabled(true);
}

void FormCore::Option2_Click() {
    controls_.SetTypingLimit(kCode39TypingLimit);
    controls_.SetOptionsFrameEnabled(false);
}

void FormCore::Option3_Click() {
    const std::u16string text = controls_.Text();
    if (text.size() > std::size_t(kUpcALength))
        controls_.SetText(text.substr(0, kUpcALength));
    controls_.SetTypingLimit(kUpcALength);
    controls_.SetOptionsFrameEnabled(false);
}

void FormCore::Option4_Click() {
    const std::u16string text = controls_.Text();
    if (text.size() > std::size_t(kUpcELength))
        controls_.SetText(text.substr(0, kUpcELength));
    controls_.SetTypingLimit(kUpcELength);
    controls_.SetOptionsFrameEnabled(false);
}

void FormCore::Check4_Click() {
    if (settings_)
        settings_->SaveSetting(kKeyWithCaption, controls_.CaptionTicked() ? u"1" : u"0");
}

void FormCore::Text1_Change() {
    if (settings_)
        settings_->SaveSetting(kKeyBarcode, controls_.Text());
}

void FormCore::MouseMove(PointerZone zone) {
    if (pointer_ == MousePointer::Hourglass)
        return;
    SetMousePointer(zone == PointerZone::PushButton ? MousePointer::Custom : MousePointer::Default);
}

} // namespace quillion
