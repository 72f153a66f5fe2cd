#include "step_runner.h"

#include "runtime/ansi.h"
#include "runtime/runtime.h"

#include <exception>
#include <new>
#include <string>

namespace quillion {

std::u16string ApplicationErrorText(std::u16string_view handlerName, int step,
                                    std::u16string_view description) {
    std::u16string text(description);
    text += u"\r\nin Quillworks2017/04/05.Form1.";
    text += handlerName;
    text += u" at line ";
    text += Utf8ToUtf16(std::to_string(step));
    text += u"\r\rPlease email screenshot of this message to ";
    text += kSupportEmail;
    return text;
}

void ShowApplicationError(UserInterface& ui, std::u16string_view handlerName, int step,
                          std::u16string_view description) {
    ui.ShowMessage({ApplicationErrorText(handlerName, step, description), MsgBoxButtons::OkOnly,
                    MsgBoxIcon::Exclamation, kErrorReportTitle});
}

std::u16string CurrentErrorDescription() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return Utf8ToUtf16(e.Description());
    } catch (const std::bad_alloc&) {
        return u"Out of memory";
    } catch (const std::exception& e) {
        return Utf8ToUtf16(e.what());
    } catch (...) {
        return u"Unknown error";
    }
}

void StepRunner::ReportCurrentError(int step) noexcept {
    ++failedSteps_;
    lastFailedStep_ = step;
    try {
        ShowApplicationError(ui_, handlerName_, step, CurrentErrorDescription());
    } catch (...) {
        // The report itself failed (no memory for the text, or the message box could not be
        // shown): there is no one left to tell, and the handler still goes on.
    }
}

} // namespace quillion
