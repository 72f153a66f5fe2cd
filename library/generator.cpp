#include "generator.h"

#include "runtime/ansi.h"
#include "step_runner.h"

namespace quillion::library {

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
    errorReport = errorReport || box.title == kErrorReportTitle;
    return MsgBoxResult::Ok;
}

Generator::Generator(const ControlSettings& settings, Keep keep)
    : keep_(keep), core_(controls_, ui_) {
    controls_.settings = settings;
    core_.SetPicture1Shown(false); // no window: Picture2 takes Picture1's pixels
    if (keep_ == Keep::Painting) {
        // Both picture boxes keep their paintings for good; each Cls starts them again.
        core_.Picture1().SetPaintRecord(&record_);
        core_.Picture2().SetPaintRecord(&exportRecord_);
        core_.Picture1().SetPaintingDeferred(true);
        core_.Picture2().SetPaintingDeferred(true);
    }
}

Generation Generator::Generate(const std::u16string& text) {
    controls_.text = text;
    ui_.messages.clear();
    ui_.errorReport = false;
    // Every renderer paints Picture1; the exported picture is Picture1 or its copy.
    const bool recording = keep_ == Keep::PixelsAndRecord;
    if (recording)
        core_.Picture1().SetPaintRecord(&record_);
    core_.PushButton2_Click();
    const DrawingSurface& exported = core_.ExportSurface();
    if (recording) {
        core_.Picture1().SetPaintRecord(nullptr);
        const DrawingSurface& painted = core_.Picture1();
        if (exported.WidthPx() != painted.WidthPx() || exported.HeightPx() != painted.HeightPx())
            record_.complete = false;
    }
    Generation result;
    result.engineError = core_.LastEngineError();
    result.errorReport = ui_.errorReport;
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
    if (text.empty() || exported.WidthPx() <= 0 || exported.HeightPx() <= 0) {
        result.message = "nothing was painted (the text is empty); no file written";
        return result;
    }
    result.width = exported.WidthPx();
    result.height = exported.HeightPx();
    result.painting = exported.UnpaintedRecord();
    if (result.painting == nullptr)
        result.picture = &exported.GetImage();
    return result;
}

} // namespace quillion::library
