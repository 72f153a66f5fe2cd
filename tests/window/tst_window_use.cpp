// The window as people use it: the focus at start and where Tab takes it, Enter in the text box
// and on the buttons, focus shown on every control, copying and dragging the export picture
// (read back from the clipboard and from the drag's data), the scroll bar under a wide picture,
// the Help text's address kept whole, and the skin's even backgrounds and read errors.
#include "Form1.h"
#include "decode.h"
#include "form_fixture.h"
#include "limited_line_edit.h"
#include "messages.h"
#include "picture_area.h"
#include "picture_box.h"
#include "picture_export.h"
#include "qt_dialogs.h"
#include "runtime/runtime.h"
#include "step_runner.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <unistd.h>

using namespace quillion;
using namespace quillion::testing;

namespace {

QImage Rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Png(const QByteArray& bytes) {
    QImage png;
    return png.loadFromData(bytes, "PNG") ? Rgb32(png) : QImage();
}

} // namespace

class TestWindowUse : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> program_;
    Answers answers_;
    std::unique_ptr<Form1> form_;

    template <class T = QWidget> T* Child(const char* name) {
        T* child = form_->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    void Open(std::function<void(std::u16string_view, int)> beforeStep = {}) {
        answers_ = Answers();
        form_ = MakeForm(answers_, program_->path(), std::move(beforeStep));
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void Generate(const char* option, const QString& text) {
        Child<QRadioButton>(option)->click();
        Child<LimitedLineEdit>("Text1")->SetProgramText(text);
        Child<QPushButton>("PushButton2")->click();
    }
    PictureArea* Area() { return Child<PictureArea>("PictureArea"); }
    // What an independent reader reads from the export picture of Code 128 and Code 39.
    std::string Scanned() { return DecodeImage(form_->Core().Picture2().GetImage()).text; }
    // Right-clicks the picture area; returns whether the menu's "Copy" is enabled, and
    // chooses it when it is.
    bool ContextMenuCopy() {
        bool enabled = false;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* copy = menu ? menu->findChild<QAction*>("CopyAction") : nullptr;
            if (copy && copy->text() == "Copy" && (enabled = copy->isEnabled()))
                copy->trigger();
            if (menu)
                menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, {20, 20},
                                Area()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(Area(), &event);
        return enabled;
    }

private slots:
    void initTestCase() { UseTemporarySettings(); }
    void init() {
        ClearSettings();
        program_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        form_.reset();
        program_.reset();
    }

    void focusStartsInTheTextBoxAfterItsText() {
        QVERIFY(WriteFile(SettingsFilePath(), "[Quillion]\nBarcode=Hello\n"));
        Open();
        auto* text1 = Child<LimitedLineEdit>("Text1");
        QCOMPARE(QApplication::focusWidget(), text1);
        QCOMPARE(text1->text(), QStringLiteral("Hello"));
        QCOMPARE(text1->cursorPosition(), 5);
        QVERIFY(!text1->hasSelectedText());
        QTest::keyClicks(text1, "!");
        QCOMPARE(text1->text(), QStringLiteral("Hello!"));
    }

    // Enter and the keypad's Enter in the text box generate; Enter on a focused button clicks it.
    void enterRows() {
        Open();
        auto* text1 = Child<LimitedLineEdit>("Text1");
        for (const auto& [typed, key, whole] :
             {std::tuple{"AB1", Qt::Key_Return, "AB1"}, {"2", Qt::Key_Enter, "AB12"}}) {
            QTest::keyClicks(text1, typed);
            QTest::keyClick(text1, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(Scanned(), std::string(whole));
        }
        QVERIFY(answers_.messages.empty());
        Generate("Option1", "AB");
        const QString saveTo = program_->filePath("enter.jpg");
        answers_.saveAs = saveTo.toStdU16String();
        const QString sample = QStringView(kSampleText).toString();
        struct Row {
            int row;
            const char* button;
            std::function<bool()> clicked;
        };
        const Row rows[] = {
            {1, "PushButton1", [&] { return QFileInfo(saveTo).size() > 0; }},
            {2, "PushButton3", [&] { return answers_.printer.calls.size() == 4; }},
            {3, "PushButton4",
             [&] { return MessageTexts(answers_).contains(QStringView(kHelpText).toString()); }},
            {4, "PushButton5", [&] { return Child<LimitedLineEdit>("Text1")->text() == sample; }},
            {5, "PushButton2", [&] { return Scanned() == sample.toStdString(); }},
        };
        for (const Row& r : rows) {
            QVERIFY2(!r.clicked(), qPrintable(QString("row %1 before").arg(r.row)));
            auto* button = Child<QPushButton>(r.button);
            button->setFocus(Qt::TabFocusReason);
            // Even rows press the keypad's Enter.
            const bool keypad = r.row % 2 == 0;
            QTest::keyClick(button, keypad ? Qt::Key_Enter : Qt::Key_Return,
                            keypad ? Qt::KeypadModifier : Qt::NoModifier);
            QVERIFY2(r.clicked(), qPrintable(QString("row %1: %2").arg(r.row).arg(r.button)));
        }
    }

    void tabOrderAndFocusShownOnEveryControl() {
        Open();
        Generate("Option1", "AB");
        const char* order[] = {"PushButton4", "PushButton5", "Option1",     "Text1",
                               "Check4",      "Combo1",      "Combo2",      "PushButton2",
                               "PictureArea", "PushButton1", "PushButton3", "PushButton4"};
        for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
            QWidget* w = Child(order[i]);
            // Focus from a click, where Qt by itself would not show it; then Tab moves it on.
            w->setFocus(Qt::MouseFocusReason);
            const QImage focused = w->grab().toImage();
            QTest::keyClick(w, Qt::Key_Tab);
            const QString row = QStringLiteral("row %1: %2").arg(i + 1).arg(order[i]);
            QVERIFY2(QApplication::focusWidget() == Child(order[i + 1]), qPrintable(row));
            QVERIFY2(w->grab().toImage() != focused, qPrintable(row + " shows no focus"));
        }
    }

    // Ctrl+C on the picture area (after a click on it) or the context menu's "Copy" puts the
    // export picture on the clipboard, also as lossless PNG data; with nothing to copy the menu
    // item is disabled and the clipboard kept. Ctrl+C in the text box copies its text only.
    void copyRows() {
        struct Row {
            int row;
            const char* option;
            QString text; // "-": no generation
            int exported; // the export picture: 1 Picture1, 2 Picture2, 0 nothing to copy
            bool menu;    // through the context menu
        };
        const Row rows[] = {{1, "Option1", "Coca Cola 12pk $6.99", 2, false},
                            {2, "Option2", "CODE39", 2, false},
                            {3, "Option3", "036000291452", 1, false},
                            {4, "Option4", "123456", 1, false},
                            {5, "Option1", "AB", 2, true},
                            {6, "Option1", "-", 0, false},
                            {7, "Option1", "", 0, false},
                            {8, "Option3", "12345678901", 0, false}};
        QClipboard* clipboard = QGuiApplication::clipboard();
        for (const Row& r : rows) {
            const QByteArray row = "row " + QByteArray::number(r.row);
            Open();
            if (r.text == "-")
                Child<QRadioButton>(r.option)->click();
            else
                Generate(r.option, r.text);
            clipboard->setText("kept");
            if (r.exported == 0) {
                Area()->setFocus(Qt::TabFocusReason);
                QTest::keyClick(Area(), Qt::Key_C, Qt::ControlModifier);
                QVERIFY2(!ContextMenuCopy(), row);
                QVERIFY2(clipboard->text() == "kept", row);
                continue;
            }
            const Image& exported = r.exported == 1 ? form_->Core().Picture1().GetImage()
                                                    : form_->Core().Picture2().GetImage();
            QVERIFY2(HasPictureToCopy(exported), row);
            if (r.menu) {
                QVERIFY2(ContextMenuCopy(), row);
            } else {
                QTest::mouseClick(Child("Picture1"), Qt::LeftButton, {}, QPoint(2, 2));
                QVERIFY2(QApplication::focusWidget() == Area(), row);
                QTest::keyClick(Area(), Qt::Key_C, Qt::ControlModifier);
            }
            QVERIFY2(Rgb32(clipboard->image()) == ToQImage(exported), row);
            QVERIFY2(Png(clipboard->mimeData()->data("image/png")) == ToQImage(exported), row);
        }
        auto* text1 = Child<LimitedLineEdit>("Text1");
        text1->setFocus();
        text1->selectAll();
        QTest::keyClick(text1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("12345678901")); // the last row's text
        QVERIFY(!clipboard->mimeData()->hasImage());
    }

    void dragCarriesPngDataAndAPngFile() {
        Open();
        Generate("Option1", "AB");
        const QImage expected = ToQImage(form_->Core().Picture2().GetImage());
        const std::unique_ptr<QMimeData> data = Area()->MakeMimeData(true);
        QCOMPARE(Png(data->data("image/png")), expected);
        QCOMPARE(data->urls().size(), 1);
        const QString file = data->urls()[0].toLocalFile();
        QVERIFY(file.endsWith(".png"));
        QCOMPARE(Rgb32(QImage(file, "PNG")), expected);
    }

    void aWidePictureScrolls() {
        Open();
        auto* strip = Child<QScrollArea>("PictureStrip");
        Generate("Option1", "AB");
        QCOMPARE(strip->height(), Child("Picture1")->height());
        const QString stored = QString(60, 'W'); // longer than the typing limit, as stored text
        Generate("Option1", stored);
        QVERIFY(answers_.messages.empty());
        const int width = form_->Core().Picture1().WidthPx();
        QVERIFY2(width > PictureArea::kRoomWidth, qPrintable(QString::number(width)));
        QScrollBar* bar = strip->horizontalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(strip->width(), PictureArea::kRoomWidth);
        QCOMPARE(bar->maximum(), width - strip->viewport()->width());
        // The bar lies under the picture, inside the area.
        QCOMPARE(bar->mapTo(strip, QPoint(0, 0)).y(), Child("Picture1")->height());
        QVERIFY(strip->geometry().bottom() < Area()->height());
        // The keyboard reaches the end, where the last bars show.
        Area()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Area(), Qt::Key_End);
        QCOMPARE(bar->value(), bar->maximum());
        const QImage shown = strip->viewport()->grab().toImage();
        const QImage right =
            ToQImage(form_->Core().Picture1().GetImage())
                .copy(width - strip->viewport()->width(), 0, strip->viewport()->width(), 20);
        QCOMPARE(Rgb32(shown.copy(0, 0, right.width(), 20)), right);
        // Saving is unchanged: the whole picture.
        QCOMPARE(Scanned(), stored.toStdString());
        Generate("Option1", "AB");
        QVERIFY(!bar->isVisible());
    }

    void helpShowsTheAddressWhole() {
        const QString help = QStringView(kHelpText).toString();
        // The real box shows the same text, its label wide enough for the address on one line.
        QString shownText;
        int labelWidth = 0, addressWidth = 1 << 20;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            QTextDocument read;
            read.setHtml(label->text());
            shownText = read.toPlainText().remove(QChar(0x2060)); // the address's word joiners
            labelWidth = label->contentsRect().width();
            addressWidth = label->fontMetrics().horizontalAdvance(
                QStringLiteral("https://velmorrow.example/contact"));
            box->accept();
        });
        QWidget parent;
        ShowQtMessageBox(&parent, {std::u16string(kHelpText), MsgBoxButtons::OkOnly,
                                   MsgBoxIcon::None, u"Quillion"});
        QCOMPARE(shownText, help);
        QVERIFY2(labelWidth >= addressWidth,
                 qPrintable(QStringLiteral("%1 < %2").arg(labelWidth).arg(addressWidth)));
        // Laid out just wider than the address, the text wraps before it, never inside it.
        QTextDocument laid;
        laid.setDocumentMargin(0);
        laid.setHtml(MessageBoxMarkup(help));
        laid.setTextWidth(
            QFontMetrics(laid.defaultFont())
                .horizontalAdvance(QStringLiteral("https://velmorrow.example/contact")) +
            4);
        QVERIFY(laid.size().height() > 0); // laid out
        const QTextBlock block = laid.firstBlock();
        const QString plain = block.text();
        QTextLayout* layout = block.layout();
        const int first = int(plain.indexOf(u'h', plain.indexOf(QStringLiteral(" at ")) + 1));
        QVERIFY(layout->lineCount() > 1);
        QCOMPARE(layout->lineForTextPosition(first).lineNumber(),
                 layout->lineForTextPosition(int(plain.size()) - 1).lineNumber());
    }

    void skinGivesOneEvenBackground() {
        QVERIFY(WriteFile(program_->path() + "/x/o.cjs", "QPushButton { color: rgb(200, 0, 0); }"));
        Open();
        QVERIFY(answers_.messages.empty());
        const QColor face = QApplication::palette().color(QPalette::Button);
        struct Row {
            int row;
            const char* name;
            QPoint at; // a blank spot, from the top-right corner (frames: bottom-right)
        };
        const Row rows[] = {
            {1, "Frame1", {12, 8}}, {2, "Frame2", {12, 8}}, {3, "Frame3", {12, 5}},
            {4, "Option1", {3, 1}}, {5, "Check4", {3, 1}},  {6, "Label2", {1, 0}},
        };
        for (const Row& r : rows) {
            QWidget* w = Child(r.name);
            const QImage shot = w->grab().toImage();
            const bool frame = qobject_cast<QGroupBox*>(w) != nullptr;
            const QPoint at(shot.width() - 1 - r.at.x(),
                            frame ? shot.height() - 1 - r.at.y() : r.at.y());
            QVERIFY2(QColor(shot.pixel(at)) == face, qPrintable(QString("row %1").arg(r.row)));
        }
        // Inside a frame, around its option buttons: the frame's own pixels, beside and between
        // the buttons, are the button face as well.
        const QImage frame = Child("Frame1")->grab().toImage();
        const QRect option = Child("Option1")->geometry();
        for (const QPoint& p : {QPoint(option.left() - 3, option.center().y()),
                                QPoint(option.right() + 6, option.center().y()),
                                QPoint(option.center().x(), option.bottom() + 3)})
            QCOMPARE(QColor(frame.pixel(p)), face);
        // The white backing stays white, right of a picture narrower than it as well.
        Generate("Option1", "AB");
        auto* strip = Child<QScrollArea>("PictureStrip");
        QVERIFY(Child("Picture1")->width() < strip->width() - 4);
        const QImage shown = form_->grab().toImage();
        const QPoint right = strip->mapTo(form_.get(), QPoint(strip->width() - 3, 3));
        QCOMPARE(QColor(shown.pixel(right * shown.devicePixelRatio())), QColor(Qt::white));
    }

    void skinThatCannotBeRead_data() {
        QTest::addColumn<bool>("readError"); // else: no read permission
        QTest::newRow("1 read error") << true;
        QTest::newRow("2 no permission") << false;
    }
    void skinThatCannotBeRead() {
        QFETCH(bool, readError);
        const QString skin = program_->path() + "/x/o.cjs";
        QDir().mkpath(program_->path() + "/x");
        if (readError) {
            // A regular file whose reading fails (EIO): the start of this process's memory.
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), skin));
        } else {
            QVERIFY(WriteFile(skin, "QWidget { color: red; }"));
            QVERIFY(QFile::setPermissions(skin, QFileDevice::WriteOwner));
            if (geteuid() == 0)
                QSKIP("root reads a file without read permission");
        }
        Open();
        QCOMPARE(MessageTexts(answers_), QStringList{QString::fromStdU16String(ApplicationErrorText(
                                             u"Form_Load", 100, u"Path/File access error"))});
        QCOMPARE(answers_.messages[0].title, std::u16string(u"Application Error"));
        // Start-up went on without a skin (the later steps: formLoadStepNumbers row 1).
        QVERIFY(form_->styleSheet().isEmpty());
        QCOMPARE(QApplication::focusWidget(), Child("Text1"));
        Generate("Option1", "AB");
        QCOMPARE(Scanned(), std::string("AB"));
    }

    void formLoadStepNumbers() {
        // Each step of start-up made to fail on its own: the report names it, start-up goes on,
        // and only that step's work is missing.
        QVERIFY(WriteFile(program_->path() + "/x/o.cjs", "QLabel { color: rgb(1, 2, 3); }"));
        QVERIFY(WriteFile(SettingsFilePath(), "[Quillion]\nBarcode=XYZ\nWith%20Caption=1\n"));
        struct Row {
            int row;
            int step;
            std::function<bool(Form1&)> missing; // true when its work is missing; null: unseen
        };
        auto item = [](const char* combo, const char* text) {
            return [=](Form1& f) {
                return f.findChild<QComboBox*>(combo)->findText(QLatin1String(text)) < 0;
            };
        };
        const Row rows[] = {
            {1, 100, [](Form1& f) { return f.styleSheet().isEmpty(); }},
            {2, 126, [](Form1& f) { return f.windowTitle() != "Quillion"; }},
            {3, 128, item("Combo1", "Bottom")},
            {4, 130, item("Combo1", "Top")},
            {5, 132, nullptr}, // selecting the first item
            {6, 134, item("Combo2", "Regular")},
            {7, 136, item("Combo2", "Bold")},
            {8, 138, item("Combo2", "Italic")},
            {9, 140, item("Combo2", "BoldItalic")},
            {10, 142, item("Combo2", "Underline")},
            {11, 144, nullptr},
            {12, 146, [](Form1& f) { return f.findChild<QLineEdit*>("Text1")->text() != "XYZ"; }},
            {13, 148, [](Form1& f) { return !f.findChild<QCheckBox*>("Check4")->isChecked(); }},
            {14, 150, nullptr},
        };
        for (const Row& r : rows) {
            const QByteArray where = "row " + QByteArray::number(r.row);
            Open([&](std::u16string_view handler, int step) {
                if (handler == u"Form_Load" && step == r.step)
                    throw RuntimeError(5, "Invalid procedure call or argument");
            });
            QVERIFY2(answers_.messages.size() == 1, where);
            QCOMPARE(
                answers_.messages[0].text,
                ApplicationErrorText(u"Form_Load", r.step, u"Invalid procedure call or argument"));
            QVERIFY2(!r.missing || r.missing(*form_), where);
            // The other steps did their work.
            for (const Row& other : rows)
                if (other.step != r.step && other.missing)
                    QVERIFY2(!other.missing(*form_),
                             where + ": step " + QByteArray::number(other.step) + " missing");
            form_.reset();
        }
    }
};

QTEST_MAIN(TestWindowUse)
#include "tst_window_use.moc"
