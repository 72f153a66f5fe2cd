// Numbered steps of a command handler: a step that fails shows the "Application Error" report
// with the handler's name and the step's number, and the handler goes on with its next step.
#pragma once

#include "seams.h"

#include <string>
#include <string_view>
#include <utility>

namespace quillion {

inline constexpr char16_t kSupportEmail[] = u"support@velmorrow.example";
inline constexpr char16_t kErrorReportTitle[] = u"Application Error";

// The error report text: description, CR LF, the handler's place, "at line " and the step,
// two CRs and the request to send a screenshot to the support address.
std::u16string ApplicationErrorText(std::u16string_view handlerName, int step,
                                    std::u16string_view description);
// Shows the report through the message-box seam (OK button, exclamation icon).
void ShowApplicationError(UserInterface& ui, std::u16string_view handlerName, int step,
                          std::u16string_view description);

// The description a report shows for the exception in flight.
std::u16string CurrentErrorDescription();

class StepRunner {
public:
    // handlerName must outlive the runner (handlers pass their name as a literal).
    StepRunner(UserInterface& ui, std::u16string_view handlerName)
        : ui_(ui), handlerName_(handlerName) {}

    // Runs one step. Returns true when it completed; on a failure shows the report and returns
    // false, so that the caller may skip what depended on the step.
    template <class F> bool operator()(int step, F&& body) {
        try {
            ui_.BeforeStep(handlerName_, step);
            std::forward<F>(body)();
            return true;
        } catch (...) {
            ReportCurrentError(step);
            return false;
        }
    }

    int FailedSteps() const { return failedSteps_; }
    int LastFailedStep() const { return lastFailedStep_; }

private:
    void ReportCurrentError(int step) noexcept;

    UserInterface& ui_;
    std::u16string_view handlerName_;
    int failedSteps_ = 0;
    int lastFailedStep_ = 0;
};

} // namespace quillion
