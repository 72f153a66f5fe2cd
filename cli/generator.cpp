#include "generator.h"

#include "pixel_scale.h"
#include "runtime/ansi.h"
#include "step_runner.h"
#include "text_checks.h"
#include "verify.h"

#include <algorithm>
#include <climits>

namespace quillion::cli {

std::string MessageLine(const MessageBoxRequest& box) {
    const std::string text = Utf16ToUtf8(box.text);
    if (box.title != kErrorReportTitle) {
        std::string line = text;
        for (char& c : line)
            if (c == '\r' || c == '\n')
                c = ' ';
        return line;
    }
    // The report reads: description CR LF place CR CR request. Keep the first two.
    const std::size_t end1 = text.find('\r');
    if (end1 == std::string::npos)
        return "Application Error: " + text;
    std::size_t start2 = end1 + 1;
    if (start2 < text.size() && text[start2] == '\n')
        ++start2;
    const std::size_t end2 = text.find('\r', start2);
    return "Application Error: " + text.substr(0, end1) + " (" +
           text.substr(start2, end2 == std::string::npos ? end2 : end2 - start2) + ")";
}

MsgBoxResult CollectingInterface::ShowMessage(const MessageBoxRequest& box) {
    messages.push_back(MessageLine(box));
    return MsgBoxResult::Ok;
}

Generator::Generator(const ControlSettings& settings, bool verify, bool recordPainting,
                     const LabelSettings& label)
    : label_(label), recording_(recordPainting || label.quietZones), core_(controls_, ui_),
      verify_(verify) {
    controls_.settings = settings;
}

Generation Generator::Generate(const std::u16string& typed) {
    const std::u16string text =
        controls_.settings.type == Symbology::UpcA ? WithUpcACheckDigit(typed) : typed;
    SymbolLook look;
    look.moduleWidth = label_.moduleWidth;
    look.barHeight = label_.barHeight;
    look.caption = controls_.settings.caption;
    if (label_.fitWidth > 0)
        return Fit(text, look);
    core_.SetSymbolLook(look);
    return Paint(text, verify_);
}

Generation Generator::Fit(const std::u16string& text, SymbolLook look) {
    Generation failed;
    int narrowest = 0;
    const int module = FitModuleWidth(label_.fitWidth, kMaxModulePixels, [&](int m) {
        look.moduleWidth = m;
        core_.SetSymbolLook(look);
        const Generation g = Paint(text, false);
        if (g.picture == nullptr) {
            failed = g;
            return INT_MAX;
        }
        const auto width = FinishedSize(g.picture->width, g.picture->height, g.finish).first;
        if (m == 1)
            narrowest = static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
        return static_cast<int>(std::min<std::int64_t>(width, INT_MAX));
    });
    if (!failed.message.empty())
        return failed;
    if (module == 0) {
        failed.message = "--fit-width: at one pixel per module the picture is " +
                         std::to_string(narrowest) + " pixels wide, more than the " +
                         std::to_string(label_.fitWidth) + " that fit at " +
                         std::to_string(label_.dpi) + " dpi; no file written";
        return failed;
    }
    look.moduleWidth = module;
    core_.SetSymbolLook(look);
    return Paint(text, verify_);
}

Generation Generator::Paint(const std::u16string& text, bool verify) {
    controls_.text = text;
    ui_.messages.clear();
    // Every renderer paints Picture1; the exported picture is Picture1 or its copy.
    if (recording_)
        core_.Picture1().SetPaintRecord(&record_);
    core_.PushButton2_Click();
    if (recording_) {
        core_.Picture1().SetPaintRecord(nullptr);
        const Image& exported = core_.ExportPicture();
        const DrawingSurface& painted = core_.Picture1();
        if (exported.width != painted.WidthPx() || exported.height != painted.HeightPx())
            record_.complete = false;
    }
    Generation result;
    if (!ui_.messages.empty()) {
        for (const std::string& m : ui_.messages) {
            if (!result.message.empty())
                result.message += "; ";
            result.message += m;
        }
        return result;
    }
    // An empty text paints no symbol: Code 128 leaves an empty picture, Code 39 only clears
    // it. Either way there is no barcode to write.
    const Image& picture = core_.ExportPicture();
    if (text.empty() || picture.width <= 0 || picture.height <= 0) {
        result.message = "nothing was painted (the text is empty); no file written";
        return result;
    }
    LabelFinish& f = result.finish;
    f.left = f.top = f.right = f.bottom = label_.margin;
    f.foreground = label_.foreground;
    f.background = label_.background;
    f.rotation = label_.rotation;
    if (label_.quietZones) {
        const int m = core_.Look().moduleWidth > 0 ? core_.Look().moduleWidth
                                                   : UsualModuleWidth(controls_.settings.type);
        AddQuietZones(f, controls_.settings.type, m, record_, picture);
    }
    if (verify) {
        // What is read is the picture as it will be written, colours and sides included (the
        // turn changes nothing a reader sees; the reader scans rows).
        const Image* checked = &picture;
        LabelFinish unturned = f;
        unturned.rotation = 0;
        if (!unturned.IsNone()) {
            result.message = FinishPicture(picture, unturned, kMaxScaledPixels, finished_);
            checked = &finished_;
        }
        if (result.message.empty())
            result.message = VerifyPicture(*checked, controls_.settings.type, text);
        if (!result.message.empty())
            return result;
    }
    result.picture = &picture;
    return result;
}

} // namespace quillion::cli
