// The numbered-step helper: the report's exact text, the kinds of failure it describes, and
// that a handler goes on after a failed step even when the report itself cannot be shown.
#include "step_runner.h"

#include "headless.h"
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <new>

namespace quillion {
namespace {

TEST(StepRunner, ReportTextLayout) {
    EXPECT_EQ(ApplicationErrorText(u"PushButton2_Click", 132, u"Overflow"),
              u"Overflow\r\nin Quillworks2017/04/05.Form1.PushButton2_Click at line 132\r\r"
              u"Please email screenshot of this message to support@velmorrow.example");
}

TEST(StepRunner, FailedStepsAreReportedAndTheHandlerGoesOn) {
    HeadlessInterface ui;
    StepRunner step(ui, u"Form_Load");
    std::vector<int> ran;
    EXPECT_TRUE(step(100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(step(102, [&] { throw RuntimeError(6, "Overflow"); }));
    EXPECT_FALSE(step(104, [&] { throw std::bad_alloc(); }));
    EXPECT_FALSE(step(106, [&] { throw std::runtime_error("disk on fire"); }));
    EXPECT_FALSE(step(108, [&] { throw 42; }));
    EXPECT_TRUE(step(110, [&] { ran.push_back(110); }));
    EXPECT_EQ(ran, (std::vector<int>{100, 110}));
    EXPECT_EQ(step.FailedSteps(), 4);
    EXPECT_EQ(step.LastFailedStep(), 108);
    ASSERT_EQ(ui.messages.size(), 4u);
    const std::u16string expected[] = {
        ApplicationErrorText(u"Form_Load", 102, u"Overflow"),
        ApplicationErrorText(u"Form_Load", 104, u"Out of memory"),
        ApplicationErrorText(u"Form_Load", 106, u"disk on fire"),
        ApplicationErrorText(u"Form_Load", 108, u"Unknown error"),
    };
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ui.messages[i].text, expected[i]);
        EXPECT_EQ(ui.messages[i].title, u"Application Error");
        EXPECT_EQ(ui.messages[i].icon, MsgBoxIcon::Exclamation);
        EXPECT_EQ(ui.messages[i].buttons, MsgBoxButtons::OkOnly);
    }
}

class ThrowingInterface : public HeadlessInterface {
public:
    MsgBoxResult ShowMessage(const MessageBoxRequest&) override { throw std::bad_alloc(); }
};

TEST(StepRunner, AReportThatCannotBeShownDoesNotStopTheHandler) {
    ThrowingInterface ui;
    StepRunner step(ui, u"PushButton4_Click");
    bool after = false;
    EXPECT_FALSE(step(100, [] { throw RuntimeError(5, "x"); }));
    EXPECT_TRUE(step(102, [&] { after = true; }));
    EXPECT_TRUE(after);
}

} // namespace
} // namespace quillion
