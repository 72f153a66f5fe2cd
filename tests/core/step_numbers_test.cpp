// Every step of the command handlers that can fail, made to fail one at a time (through the
// BeforeStep seam), with the report read back: it must name the handler and the step's number,
// and the handler must have left out exactly that step's work and gone on with the rest. The
// work left out is compared with a run in which nothing fails, so a step number that sits on
// the wrong statement shows as the wrong work missing.
#include "form_core.h"

#include "fake_printer.h"
#include "headless.h"
#include "messages.h"
#include "picture_export.h"
#include "runtime/runtime.h"
#include "step_runner.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace quillion {
namespace {

using testing::FakePrinter;
using testing::PrintLog;

// A command handler; saving and printing run after a generation.
struct Handler {
    const char16_t* name;
    void (FormCore::*click)();
    bool afterGeneration = false;
};
const Handler kGenerate{u"PushButton2_Click", &FormCore::PushButton2_Click};
const Handler kSave{u"PushButton1_Click", &FormCore::PushButton1_Click, true};
const Handler kPrint{u"PushButton3_Click", &FormCore::PushButton3_Click, true};
const Handler kHelp{u"PushButton4_Click", &FormCore::PushButton4_Click};
const Handler kSample{u"PushButton5_Click", &FormCore::PushButton5_Click};

// What a step's failure leaves out, compared with a run without failure.
enum class Missing {
    Nothing,     // no work that shows here (the state was already as the step sets it)
    DoEvents,    // one yield to the event loop fewer
    Picture,     // Picture1 differs (a font or size the renderer used)
    Size,        // Picture1 has another size
    Paint,       // Picture1 holds no barcode
    Copy,        // Picture2 keeps its old picture
    Message,     // the input message is not shown
    Refused,     // a check failed instead: the text is refused with the message in `detail`
    Dialog,      // the save dialog is asked with another request, or not at all
    Saved,       // no file is written
    PrinterCall, // the printer call named in `detail` is not made
    Text,        // the text box keeps its text
};

struct Observed {
    int doEvents = 0;
    Image picture1, picture2;
    std::vector<std::u16string> inputMessages;
    std::vector<std::u16string> reports;
    std::vector<std::u16string> dialogTitles;
    bool saved = false;
    std::vector<std::string> printerCalls;
    std::u16string text;
};

struct Row {
    int row;
    const Handler* handler;
    Symbology symbology;
    std::u16string text;
    std::vector<int> steps; // each made to fail in a run of its own
    Missing missing;
    std::string detail = {};
};

// Runs the handler once (after a generation, for saving and printing), failing `failStep` of
// it (0: none).
Observed RunHandler(const Row& r, int failStep) {
    QTemporaryDir folder;
    FixedControls controls;
    HeadlessInterface ui;
    FormCore form(controls, ui);
    PrintLog printLog;
    ui.printerFactory = [&] { return std::make_unique<FakePrinter>(printLog); };
    ui.saveFileName = folder.filePath(QStringLiteral("out.jpg")).toStdU16String();
    controls.text = r.text;
    controls.symbology = r.symbology;
    if (r.handler->afterGeneration)
        form.PushButton2_Click();
    const int yieldsBefore = ui.doEventsCalls;
    const std::size_t messagesBefore = ui.messages.size();
    ui.beforeStep = [&](std::u16string_view handler, int step) {
        if (handler == r.handler->name && step == failStep)
            throw RuntimeError(5, "Invalid procedure call or argument");
    };
    (form.*r.handler->click)();
    Observed o;
    o.doEvents = ui.doEventsCalls - yieldsBefore;
    o.picture1 = form.Picture1().GetImage();
    o.picture2 = form.Picture2().GetImage();
    for (std::size_t i = messagesBefore; i < ui.messages.size(); ++i)
        (ui.messages[i].title == kErrorReportTitle ? o.reports : o.inputMessages)
            .push_back(ui.messages[i].text);
    for (const SaveDialogRequest& d : ui.saveDialogs)
        o.dialogTitles.push_back(d.title);
    o.saved = QFileInfo(folder.filePath(QStringLiteral("out.jpg"))).size() > 0;
    o.printerCalls = printLog.calls;
    o.text = controls.text;
    return o;
}

void ExpectMissing(const Row& r, const Observed& clean, const Observed& failed) {
    const Missing m = r.missing;
    if (m == Missing::DoEvents) {
        EXPECT_EQ(failed.doEvents, clean.doEvents - 1);
    } else if (m != Missing::Refused) {
        EXPECT_EQ(failed.doEvents, clean.doEvents);
    }
    switch (m) {
    case Missing::Nothing:
    case Missing::DoEvents:
        EXPECT_EQ(failed.picture1, clean.picture1);
        EXPECT_EQ(failed.picture2, clean.picture2);
        EXPECT_EQ(failed.inputMessages, clean.inputMessages);
        EXPECT_EQ(failed.printerCalls, clean.printerCalls);
        EXPECT_EQ(failed.saved, clean.saved);
        EXPECT_EQ(failed.text, clean.text);
        break;
    case Missing::Picture:
        EXPECT_NE(failed.picture1, clean.picture1);
        EXPECT_TRUE(HasPictureToCopy(failed.picture1));
        break;
    case Missing::Size:
        EXPECT_TRUE(failed.picture1.width != clean.picture1.width ||
                    failed.picture1.height != clean.picture1.height);
        break;
    case Missing::Paint:
        EXPECT_TRUE(HasPictureToCopy(clean.picture1));
        EXPECT_FALSE(HasPictureToCopy(failed.picture1));
        break;
    case Missing::Copy:
        EXPECT_EQ(failed.picture1, clean.picture1);
        EXPECT_NE(failed.picture2, clean.picture2);
        break;
    case Missing::Message:
        EXPECT_EQ(clean.inputMessages.size(), 1u);
        EXPECT_TRUE(failed.inputMessages.empty());
        break;
    case Missing::Refused:
        ASSERT_EQ(failed.inputMessages.size(), 1u);
        EXPECT_EQ(ToUtf8(failed.inputMessages[0]), r.detail);
        EXPECT_FALSE(HasPictureToCopy(failed.picture1));
        break;
    case Missing::Dialog:
        EXPECT_NE(failed.dialogTitles, clean.dialogTitles);
        break;
    case Missing::Saved:
        EXPECT_TRUE(clean.saved);
        EXPECT_FALSE(failed.saved);
        break;
    case Missing::PrinterCall: {
        std::vector<std::string> expected = clean.printerCalls;
        const auto call = std::find(expected.begin(), expected.end(), r.detail);
        ASSERT_NE(call, expected.end()) << r.detail;
        expected.erase(call);
        EXPECT_EQ(failed.printerCalls, expected);
        break;
    }
    case Missing::Text:
        EXPECT_NE(failed.text, clean.text);
        break;
    }
}

TEST(StepNumbers, EachFailingStepIsReportedWithItsNumberAndOnlyItsWorkIsLeftOut) {
    using S = Symbology;
    using M = Missing;
    const Handler* G = &kGenerate;
    const Handler *save = &kSave, *print = &kPrint;
    const std::u16string upcA = u"036000291452";
    const Row rows[] = {
        // Code 128
        {1, G, S::Code128, u"AB", {106, 108, 110, 118, 120, 122, 124, 126}, M::Nothing},
        {2, G, S::Code128, u"AB", {112, 114, 128, 130}, M::DoEvents},
        {3, G, S::Code128, u"AB", {132}, M::Paint},
        {4, G, S::Code128, u"AB", {134, 136}, M::Size},
        {5, G, S::Code128, u"AB", {138}, M::Copy},
        // Code 39
        {6, G, S::Code39, u"A#", {104}, M::Message},
        {7, G, S::Code39, u"AB", {112, 114, 150, 152}, M::DoEvents},
        {8, G, S::Code39, u"AB", {142, 148}, M::Nothing},
        {9, G, S::Code39, u"AB", {144}, M::Size},
        {10, G, S::Code39, u"AB", {146}, M::Picture},
        {11, G, S::Code39, u"AB", {154}, M::Paint},
        {12, G, S::Code39, u"AB", {156}, M::Copy},
        // UPC-A
        {13, G, S::UpcA, upcA, {102}, M::Refused, "Barcode must be all numeric"},
        {14, G, S::UpcA, u"12x", {104}, M::Message},
        {15, G, S::UpcA, u"036000291453", {104}, M::Message}, // wrong check digit
        {16, G, S::UpcA, upcA, {160, 162}, M::Size},
        {17, G, S::UpcA, upcA, {164}, M::Nothing},
        {18, G, S::UpcA, upcA, {166, 168}, M::DoEvents},
        {19, G, S::UpcA, upcA, {170}, M::Refused, "Barcode me be 12 digit"},
        {20, G, S::UpcA, u"123", {172}, M::Message},
        {21, G, S::UpcA, upcA, {174}, M::Paint},
        // UPC-E
        {22, G, S::UpcE, u"123456", {178, 180}, M::Size},
        {23, G, S::UpcE, u"123456", {182}, M::Nothing},
        {24, G, S::UpcE, u"123456", {184, 186}, M::DoEvents},
        {25, G, S::UpcE, u"123456", {188}, M::Refused, "Barcode me be 6 digit"},
        {26, G, S::UpcE, u"123", {190}, M::Message},
        {27, G, S::UpcE, u"123456", {192}, M::Paint},
        // Save As JPG
        {28, save, S::Code128, u"AB", {106, 110}, M::Nothing},
        {29, save, S::Code128, u"AB", {108, 112}, M::Dialog},
        {30, save, S::UpcA, upcA, {118}, M::Saved},
        {31, save, S::Code128, u"AB", {120}, M::Saved},
        // Print Barcode
        {32, print, S::Code128, u"AB", {108}, M::Nothing},
        {33, print, S::Code128, u"AB", {110}, M::PrinterCall, "ScaleMode twips"},
        {34, print, S::Code128, u"AB", {118}, M::PrinterCall, "Copies 1"},
        {35, print, S::Code128, u"AB", {126}, M::PrinterCall, "PaintPicture"},
        {36, print, S::Code128, u"AB", {128}, M::PrinterCall, "EndDoc"},
        {37, print, S::UpcA, upcA, {114}, M::Nothing},
        {38, print, S::UpcA, upcA, {116}, M::PrinterCall, "ScaleMode pixels"},
        {39, print, S::UpcA, upcA, {122}, M::PrinterCall, "PaintPicture"},
        // Help and sample
        {40, &kHelp, S::Code128, u"", {100}, M::Message},
        {41, &kSample, S::Code128, u"", {100}, M::Text},
    };
    for (const Row& r : rows) {
        const Observed clean = RunHandler(r, 0);
        ASSERT_TRUE(clean.reports.empty())
            << "row " << r.row << ": " << ToUtf8(clean.reports.front());
        for (const int step : r.steps) {
            SCOPED_TRACE("row " + std::to_string(r.row) + ", step " + std::to_string(step));
            const Observed failed = RunHandler(r, step);
            ASSERT_EQ(failed.reports.size(), 1u);
            EXPECT_EQ(
                failed.reports[0],
                ApplicationErrorText(r.handler->name, step, u"Invalid procedure call or argument"));
            ExpectMissing(r, clean, failed);
        }
    }
}

} // namespace
} // namespace quillion
