// The window's logic without a window: generation of every symbology with its messages and
// pictures, the Code 128 request, the option handlers, remembered input, and the error report
// of a failing step (the handler goes on with its next step).
#include "form_core.h"

#include "decode.h"
#include "fake_printer.h"
#include "headless.h"
#include "messages.h"
#include "runtime/runtime.h"
#include "settings.h"

#include <gtest/gtest.h>

#include <QString>

namespace quillion {
namespace {

using testing::DecodeImage;
using testing::FakePrinter;
using testing::PrintLog;

std::string U8(std::u16string_view s) {
    return ToUtf8(s);
}

struct Harness {
    FixedControls controls;
    HeadlessInterface ui;
    MemorySettings settings;
    FormCore form{controls, ui, &settings};
    PrintLog printLog;

    Harness() {
        controls.onTextChange = [this] { form.Text1_Change(); };
        ui.printerFactory = [this] { return std::make_unique<FakePrinter>(printLog); };
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& m : ui.messages)
            out.push_back(U8(m.text));
        return out;
    }
    void Generate(std::u16string text, Symbology s) {
        controls.text = std::move(text);
        controls.symbology = s;
        form.PushButton2_Click();
    }
};

TEST(FormCore, RoadOfOneRequestAB) {
    Harness h;
    h.Generate(u"AB", Symbology::Code128);
    EXPECT_TRUE(h.ui.messages.empty());
    const BarcodeRequest& r = h.form.Request();
    EXPECT_EQ(r.Text, u"AB");
    EXPECT_EQ(r.Caption, u"AB");
    EXPECT_EQ(r.FontName, u"Courier New");
    EXPECT_EQ(r.Symbology, 16);
    EXPECT_EQ(r.CaptionAlignment, 1);
    EXPECT_EQ(r.CaptionPosition, 1);
    EXPECT_EQ(r.FontSize, 10);
    EXPECT_EQ(r.FontStyle, 0);
    EXPECT_EQ(r.BarHeight, 40);
    EXPECT_EQ(r.ModuleWidth, 1);
    EXPECT_EQ(r.CaptionGap, 4);
    EXPECT_EQ(r.Reserved3, 1);
    EXPECT_EQ(r.Reserved4, 1);
    EXPECT_EQ(r.CheckCharacter, 1);
    EXPECT_EQ(r.BackColor, kWhite);
    // 11 modules each for start, A, B and check, 13 for stop: 57 pixels; bars 40 + gap 4 +
    // the caption's cell.
    EXPECT_EQ(r.Width, 57);
    EXPECT_GT(r.Height, 44);
    EXPECT_LT(r.Height, 70);
    const DrawingSurface& p1 = h.form.Picture1();
    const DrawingSurface& p2 = h.form.Picture2();
    EXPECT_EQ(p1.WidthPx(), r.Width);
    EXPECT_EQ(p1.HeightPx(), r.Height);
    EXPECT_EQ(p2.GetImage(), p1.GetImage());
    EXPECT_EQ(h.form.WindowScaleMode(), ScaleMode::Twips);
    EXPECT_EQ(p1.OuterWidth(), 57.0 * 15);
    EXPECT_EQ(DecodeImage(p2.GetImage()).text, "AB");
    EXPECT_EQ(&h.form.ExportPicture(), &p2.GetImage());
    // Two yields after each clearing; the hourglass shows during the copy only.
    EXPECT_EQ(h.ui.doEventsCalls, 4);
    EXPECT_EQ(h.ui.pointers,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
}

TEST(FormCore, Code128RequestFollowsTheControls) {
    Harness h;
    h.controls.captionTicked = false;
    h.controls.captionPositionIndex = 1;
    h.controls.fontStyleIndex = 4;
    h.Generate(u"Top", Symbology::Code128);
    EXPECT_EQ(h.form.Request().Caption, u"");
    EXPECT_EQ(h.form.Request().CaptionPosition, 2);
    EXPECT_EQ(h.form.Request().FontStyle, 4);
    EXPECT_LT(h.form.Request().Height, 44); // bars only, no room for a caption
    EXPECT_EQ(DecodeImage(h.form.Picture2().GetImage()).text, "Top");
}

TEST(FormCore, LongCode128TextIsPaintedWhole) {
    // 60 characters need 11 * 62 + 13 = 695 pixels, more than the 427-pixel area.
    Harness h;
    const std::u16string text = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwx";
    h.Generate(text, Symbology::Code128);
    EXPECT_TRUE(h.ui.messages.empty());
    EXPECT_EQ(h.form.Request().Width, 11 * 62 + 13);
    EXPECT_EQ(h.form.Picture1().WidthPx(), h.form.Request().Width);
    EXPECT_EQ(h.form.Picture2().GetImage(), h.form.Picture1().GetImage());
    EXPECT_EQ(DecodeImage(h.form.Picture2().GetImage()).text, U8(text));
}

TEST(FormCore, Code128TooLargeForAnyAreaReportsOnceAndShowsNothing) {
    Harness h;
    h.Generate(std::u16string(4000, u'A'), Symbology::Code128); // 44 024 pixels wide
    ASSERT_EQ(h.ui.messages.size(), 1u);
    EXPECT_EQ(h.ui.messages[0].title, u"Application Error");
    EXPECT_NE(h.ui.messages[0].text.find(u"PushButton2_Click at line 132"), std::u16string::npos);
    EXPECT_EQ(h.form.Picture1().WidthPx(), 0);
    EXPECT_EQ(h.form.Picture2().WidthPx(), 0);
}

TEST(FormCore, Code128EngineMessagesAndEmptyText) {
    Harness h;
    h.Generate(u"A\u00e9B", Symbology::Code128); // outside the accepted characters
    ASSERT_EQ(h.Texts(), std::vector<std::string>{
                             "Error(54548):Illegal character for this symbology specified."});
    EXPECT_EQ(h.ui.messages[0].icon, MsgBoxIcon::None);
    EXPECT_EQ(h.ui.messages[0].title, u"Quillion");
    EXPECT_EQ(h.form.Picture1().WidthPx(), 0);
    EXPECT_EQ(h.form.Picture1().HeightPx(), 0);

    Harness empty;
    empty.Generate(u"", Symbology::Code128);
    EXPECT_TRUE(empty.ui.messages.empty());
    EXPECT_EQ(empty.form.Picture2().WidthPx(), 0);
    EXPECT_EQ(empty.form.Picture2().HeightPx(), 0);
}

// Input messages of the generate handler, and whether the picture area was touched.
TEST(FormCore, InputMessages) {
    struct Row {
        int row;
        Symbology symbology;
        std::u16string text;
        std::u16string message; // "" for none
        MsgBoxIcon icon;
        bool touched; // the picture area was cleared or resized
    };
    const Row rows[] = {
        {1, Symbology::UpcA, u"", kMsgNotNumeric, MsgBoxIcon::None, false},
        {2, Symbology::UpcA, u"-12345678901", kMsgNotNumeric, MsgBoxIcon::None, false},
        {3, Symbology::UpcA, u"1234567890.1", kMsgNotNumeric, MsgBoxIcon::None, false},
        {4, Symbology::UpcA, u" 12345678901", kMsgNotNumeric, MsgBoxIcon::None, false},
        {5, Symbology::UpcA, u"1E1234567890", kMsgNotNumeric, MsgBoxIcon::None, false},
        {6, Symbology::UpcA, u"\uff11\uff12", kMsgNotNumeric, MsgBoxIcon::None, false},
        {7, Symbology::UpcE, u"+12345", kMsgNotNumeric, MsgBoxIcon::None, false},
        {8, Symbology::UpcA, u"12345678901", kMsgUpcALength, MsgBoxIcon::Information, true},
        {9, Symbology::UpcA, u"1234567890123", kMsgUpcALength, MsgBoxIcon::Information, true},
        {10, Symbology::UpcE, u"12345", kMsgUpcELength, MsgBoxIcon::Information, true},
        {11, Symbology::UpcA, u"012345678905", u"", MsgBoxIcon::None, true},
        {12, Symbology::UpcE, u"123456", u"", MsgBoxIcon::None, true},
        {13, Symbology::Code39, u"AB*C", kMsgCode39Characters, MsgBoxIcon::Information, false},
        {14, Symbology::Code39, u"A!", kMsgCode39Characters, MsgBoxIcon::Information, false},
        {15, Symbology::Code39, u"\u00c4", kMsgCode39Characters, MsgBoxIcon::Information, false},
        {16, Symbology::Code39, u"abc-12 $/+%.", u"", MsgBoxIcon::None, true},
        // A wrong UPC-A check digit: the right one is named, the picture area stays as it was.
        {17, Symbology::UpcA, u"012345678901", u"Barcode check digit must be 5",
         MsgBoxIcon::Information, false},
        {18, Symbology::UpcA, u"036000291450", u"Barcode check digit must be 2",
         MsgBoxIcon::Information, false},
        {19, Symbology::UpcA, u"000000000001", u"Barcode check digit must be 0",
         MsgBoxIcon::Information, false},
        {20, Symbology::UpcA, u"036000291452", u"", MsgBoxIcon::None, true},
        {21, Symbology::UpcA, u"01234567890", kMsgUpcALength, MsgBoxIcon::Information, true},
        {22, Symbology::UpcA, u"01234567890a", kMsgNotNumeric, MsgBoxIcon::None, false},
        {23, Symbology::UpcE, u"123455", u"", MsgBoxIcon::None, true}, // any six digits
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        Harness h;
        // A picture in the area beforehand, to see whether it was touched.
        h.form.Picture1().MutableImage().At(0, 0) = ToPixel(RGB(1, 2, 3));
        h.Generate(row.text, row.symbology);
        if (row.message.empty()) {
            EXPECT_TRUE(h.ui.messages.empty())
                << (h.ui.messages.empty() ? "" : U8(h.ui.messages[0].text));
        } else {
            ASSERT_EQ(h.ui.messages.size(), 1u);
            EXPECT_EQ(h.ui.messages[0], (MessageBoxRequest{row.message, MsgBoxButtons::OkOnly,
                                                           row.icon, u"Quillion"}));
        }
        const bool touched = h.form.Picture1().WidthPx() != 515 ||
                             h.form.Picture1().HeightPx() != 101 ||
                             h.form.Picture1().GetImage().At(0, 0) != ToPixel(RGB(1, 2, 3));
        EXPECT_EQ(touched, row.touched);
    }
}

TEST(FormCore, UpcAndCode39Pictures) {
    Harness h;
    h.Generate(u"012345678905", Symbology::UpcA);
    EXPECT_EQ(h.form.WindowScaleMode(), ScaleMode::Pixels);
    EXPECT_EQ(h.form.Picture1().HeightPx(), 109);
    EXPECT_EQ(h.form.Picture1().WidthPx(), 200);
    EXPECT_EQ(DecodeImage(h.form.ExportPicture()).text, "012345678905");
    EXPECT_EQ(h.form.Picture2().WidthPx(), 35); // a UPC generation leaves Picture2 alone

    h.Generate(u"abc-12", Symbology::Code39);
    EXPECT_EQ(h.form.WindowScaleMode(), ScaleMode::Twips);
    EXPECT_EQ(h.form.Picture1().HeightPx(), 56);
    EXPECT_EQ(h.form.Picture2().GetImage(), h.form.Picture1().GetImage());
    EXPECT_EQ(DecodeImage(h.form.ExportPicture()).text, "ABC-12");
}

TEST(FormCore, Code39AfterAnAreaShrunkToNothing) {
    Harness h;
    h.Generate(u"", Symbology::Code128); // area 0 x 0
    h.Generate(u"C39", Symbology::Code39);
    EXPECT_TRUE(h.ui.messages.empty());
    EXPECT_EQ(h.form.Picture1().HeightPx(), 56);
    EXPECT_EQ(DecodeImage(h.form.Picture2().GetImage()).text, "C39");
}

// While the cleared picture shows, the user picks UPC-A: the click still paints the Code 128
// its text was checked for, rather than hand an unchecked text to the UPC renderer.
TEST(FormCore, OptionChangedWhileYielding) {
    struct SwitchingInterface : HeadlessInterface {
        FixedControls* controls = nullptr;
        void DoEvents() override { controls->symbology = Symbology::UpcA; }
    };
    FixedControls controls;
    SwitchingInterface ui;
    ui.controls = &controls;
    FormCore form(controls, ui);
    controls.text = u"AB";
    form.PushButton2_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(DecodeImage(form.Picture2().GetImage()).text, "AB");
}

// While the cleared picture shows, the user edits the text into one the renderer would paint
// as other data ("*" is a stop character in Code 39, "-" has no UPC digit): the click paints
// the text it checked.
TEST(FormCore, TextEditedWhileYielding) {
    struct EditingInterface : HeadlessInterface {
        FixedControls* controls = nullptr;
        std::u16string edit;
        void DoEvents() override { controls->text = edit; }
    };
    struct Row {
        int row;
        Symbology symbology;
        std::u16string checked, edited;
        std::string read;
    };
    const Row rows[] = {
        {1, Symbology::Code39, u"AB", u"A*B", "AB"},
        {2, Symbology::UpcA, u"012345678905", u"-12345678905", "012345678905"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        FixedControls controls;
        EditingInterface ui;
        ui.controls = &controls;
        ui.edit = row.edited;
        FormCore form(controls, ui);
        controls.symbology = row.symbology;
        controls.text = row.checked;
        form.PushButton2_Click();
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(DecodeImage(form.ExportPicture()).text, row.read);
    }
}

TEST(FormCore, OptionHandlersCutAndLimit) {
    struct Row {
        int row;
        void (FormCore::*handler)();
        std::u16string before, after;
        int limit;
        bool frameEnabled;
    };
    const std::u16string twenty = u"ABCDEFGHIJKLMNOPQRST";
    const Row rows[] = {
        {1, &FormCore::Option1_Click, twenty, twenty, 21, true},
        {2, &FormCore::Option2_Click, twenty, twenty, 21, false},
        {3, &FormCore::Option3_Click, twenty, u"ABCDEFGHIJKL", 12, false},
        {4, &FormCore::Option4_Click, twenty, u"ABCDEF", 6, false},
        {5, &FormCore::Option4_Click, u"ABC", u"ABC", 6, false},
        {6, &FormCore::Option3_Click, u"ABCDEFGHIJKL", u"ABCDEFGHIJKL", 12, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        Harness h;
        h.controls.text = row.before;
        (h.form.*row.handler)();
        EXPECT_EQ(h.controls.text, row.after);
        EXPECT_EQ(h.controls.typingLimit, row.limit);
        EXPECT_EQ(h.controls.optionsFrameEnabled, row.frameEnabled);
        // Only a cut changes the text, and the cut text is what is remembered.
        EXPECT_EQ(h.settings.Values().count(kKeyBarcode), row.before != row.after ? 1u : 0u);
        if (row.before != row.after) {
            EXPECT_EQ(h.settings.GetSetting(kKeyBarcode, u"?"), row.after);
        }
    }
}

TEST(FormCore, RememberedInputSampleAndHelp) {
    Harness h;
    h.form.PushButton5_Click();
    EXPECT_EQ(h.controls.text, u"Coca Cola 12pk $6.99");
    EXPECT_EQ(h.settings.GetSetting(kKeyBarcode, u""), u"Coca Cola 12pk $6.99");
    h.controls.captionTicked = false;
    h.form.Check4_Click();
    EXPECT_EQ(h.settings.GetSetting(kKeyWithCaption, u""), u"0");
    h.controls.captionTicked = true;
    h.form.Check4_Click();
    EXPECT_EQ(h.settings.GetSetting(kKeyWithCaption, u""), u"1");

    h.form.PushButton4_Click();
    ASSERT_EQ(h.ui.messages.size(), 1u);
    EXPECT_EQ(h.ui.messages[0].text.rfind(u"Questions? Please contact ", 0), 0u);
    EXPECT_NE(h.ui.messages[0].text.find(u"Velmorrow support team"), std::u16string::npos);
    EXPECT_NE(h.ui.messages[0].text.find(u"https://"), std::u16string::npos);
    EXPECT_EQ(h.ui.messages[0].icon, MsgBoxIcon::None);
    EXPECT_EQ(h.ui.messages[0].title, u"Quillion");
}

TEST(FormCore, StoredStartUpValues) {
    struct Row {
        int row;
        const char16_t* stored; // null: absent
        bool ticked;
    };
    const Row rows[] = {{1, nullptr, true}, {2, u"1", true},     {3, u"0", false},
                        {4, u"", false},    {5, u" 1abc", true}, {6, u"1.0", true},
                        {7, u"2", false},   {8, u"abc", false},  {9, u"&H1", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        MemorySettings s;
        if (row.stored)
            s.SaveSetting(kKeyWithCaption, row.stored);
        EXPECT_EQ(ReadStoredWithCaption(s), row.ticked);
    }
}

TEST(FormCore, PointerRules) {
    Harness h;
    h.form.MouseMove(FormCore::PointerZone::PushButton);
    EXPECT_EQ(h.form.GetMousePointer(), MousePointer::Custom);
    h.form.MouseMove(FormCore::PointerZone::Plain);
    EXPECT_EQ(h.form.GetMousePointer(), MousePointer::Default);
    h.form.SetMousePointer(MousePointer::Hourglass);
    h.form.MouseMove(FormCore::PointerZone::PushButton);
    EXPECT_EQ(h.form.GetMousePointer(), MousePointer::Hourglass);
}

TEST(FormCore, SaveHandler) {
    Harness h;
    h.form.PushButton1_Click(); // cancelled: nothing saved, no message
    ASSERT_EQ(h.ui.saveDialogs.size(), 1u);
    EXPECT_EQ(h.ui.saveDialogs[0].title,
              u"Add File(s) - Hold Ctrl or Shift to select multiple files");
    EXPECT_EQ(h.ui.saveDialogs[0].filter, u"JPEG Files (*.jpg)|*.jpg|");
    EXPECT_EQ(h.ui.saveDialogs[0].fileName, u"");
    EXPECT_TRUE(h.ui.messages.empty());

    // A folder that does not exist: the writer's failure is reported at step 120 (Code 128)
    // or 118 (UPC).
    h.ui.saveFileName = u"/nonexistent-folder/x.jpg";
    h.form.PushButton1_Click();
    h.controls.symbology = Symbology::UpcE;
    h.form.PushButton1_Click();
    ASSERT_EQ(h.ui.messages.size(), 2u);
    EXPECT_EQ(h.ui.messages[0].text.rfind(u"Cannot save the image. GDI+ Error:", 0), 0u);
    EXPECT_NE(h.ui.messages[0].text.find(u"PushButton1_Click at line 120"), std::u16string::npos);
    EXPECT_NE(h.ui.messages[1].text.find(u"PushButton1_Click at line 118"), std::u16string::npos);
}

TEST(FormCore, PrintHandlerStepsAndFailures) {
    struct Row {
        int row;
        Symbology symbology;
        std::string failOn;
        std::vector<std::string> calls;
        std::vector<int> reportedSteps;
    };
    const Row rows[] = {
        {1, Symbology::Code128, "", {"ScaleMode twips", "Copies 1", "PaintPicture", "EndDoc"}, {}},
        {2, Symbology::UpcA, "", {"ScaleMode pixels", "Copies 1", "PaintPicture", "EndDoc"}, {}},
        {3,
         Symbology::Code39,
         "ScaleMode",
         {"ScaleMode twips", "Copies 1", "PaintPicture", "EndDoc"},
         {110}},
        {4,
         Symbology::UpcE,
         "ScaleMode",
         {"ScaleMode pixels", "Copies 1", "PaintPicture", "EndDoc"},
         {116}},
        {5,
         Symbology::Code128,
         "PaintPicture",
         {"ScaleMode twips", "Copies 1", "PaintPicture", "EndDoc"},
         {126}},
        {6,
         Symbology::UpcA,
         "PaintPicture",
         {"ScaleMode pixels", "Copies 1", "PaintPicture", "EndDoc"},
         {122}},
        {7,
         Symbology::Code128,
         "EndDoc",
         {"ScaleMode twips", "Copies 1", "PaintPicture", "EndDoc"},
         {128}},
        {8,
         Symbology::Code128,
         "Copies",
         {"ScaleMode twips", "Copies 1", "PaintPicture", "EndDoc"},
         {118}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        Harness h;
        h.controls.symbology = row.symbology;
        h.printLog.failOn = row.failOn;
        h.form.PushButton3_Click();
        EXPECT_EQ(h.printLog.calls, row.calls);
        ASSERT_EQ(h.ui.messages.size(), row.reportedSteps.size());
        for (std::size_t i = 0; i < row.reportedSteps.size(); ++i)
            EXPECT_EQ(
                h.ui.messages[i].text,
                ApplicationErrorText(u"PushButton3_Click", row.reportedSteps[i], u"Printer error"));
    }
    Harness code;
    code.form.PushButton3_Click();
    EXPECT_EQ(code.printLog.width, 7800);
    EXPECT_EQ(code.printLog.height, 1725);
    EXPECT_EQ(code.printLog.painted, code.form.Picture2().GetImage());
    Harness upc;
    upc.controls.symbology = Symbology::UpcA;
    upc.form.PushButton3_Click();
    EXPECT_EQ(upc.printLog.width, 1520);
    EXPECT_EQ(upc.printLog.height, 1115);
    EXPECT_EQ(upc.printLog.painted, upc.form.Picture1().GetImage());
}

TEST(FormCore, NoPrinterAtAll) {
    Harness h;
    h.ui.printerFactory = [] { return std::unique_ptr<Printer>(); };
    h.form.PushButton3_Click();
    ASSERT_EQ(h.ui.messages.size(), 4u); // steps 110, 118, 126 and 128 each fail
    EXPECT_NE(h.ui.messages[3].text.find(u"at line 128"), std::u16string::npos);
}

} // namespace
} // namespace quillion
