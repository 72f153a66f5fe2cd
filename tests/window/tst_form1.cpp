// The main window driven through its real widgets: layout, the messages with text, icon and
// title, the road of one request, typing limits and cuts, remembered input, error reports of
// failing steps, and start-up with bad stored settings.
#include "Form1.h"
#include "decode.h"
#include "form_fixture.h"
#include "headless.h"
#include "limited_line_edit.h"
#include "messages.h"
#include "picture_box.h"
#include "settings.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace quillion;
using namespace quillion::testing;

// A stored value as a fresh reader sees it. QSettings keeps what it read of a path and trusts
// it while the file's size and time stamp look unchanged, which a rewrite within the same
// clock tick does not change; a copy under a new name is read from the disk.
static QString Stored(const char* key) {
    QTemporaryDir dir;
    const QString copy = dir.filePath("stored.ini");
    if (!QFile::copy(SettingsFilePath(), copy))
        return QStringLiteral("(no settings file)");
    return QSettings(copy, QSettings::IniFormat).value(QLatin1String(key)).toString();
}

class TestForm1 : public QObject {
    Q_OBJECT

private:
    QTemporaryDir program_; // the program folder: no skin, no cursor
    Answers answers_;
    std::unique_ptr<Form1> form_;

    template <class T> T* Child(const char* name) {
        T* child = form_->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    // A mouse move through the window, delivered as the window system delivers it.
    void MoveOver(const char* name, QPoint at = QPoint(-1, -1)) {
        QWidget* w = Child<QWidget>(name);
        QWindow* window = form_->windowHandle();
        if (at == QPoint(-1, -1))
            at = w->rect().center();
        QTest::mouseMove(window, window->mapFromGlobal(w->mapToGlobal(at)));
    }
    void Click(const char* name) { QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton); }
    void Generate(const char* option, const QString& text) {
        Click(option);
        Child<LimitedLineEdit>("Text1")->SetProgramText(text);
        answers_.messages.clear();
        Click("PushButton2");
    }

private slots:
    void initTestCase() { UseTemporarySettings(); }
    void init() {
        ClearSettings();
        answers_ = Answers();
        form_ = MakeForm(answers_, program_.path());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void layout() {
        QCOMPARE(form_->size(), QSize(536, 430));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Quillion"));
        QVERIFY(!form_->windowIcon().isNull());
        QCOMPARE(form_->font().pointSizeF(), 9.0);
        QVERIFY(form_->font().bold());
        QCOMPARE(QFontInfo(form_->font()).family(), QStringLiteral("Liberation Sans"));
        struct Row {
            const char* name;
            QRect geometry; // pixels, relative to the container
            QString caption;
        };
        const Row rows[] = {
            {"PushButton4", {8, 8, 256, 27}, "Help"},
            {"PushButton5", {272, 8, 256, 27}, "Load Sample/Example Barcode"},
            {"Frame1", {8, 40, 520, 47}, "Barcode Type"},
            {"Option1", {16, 20, 79, 15}, "Code 128"},
            {"Option2", {112, 20, 79, 15}, "Code 39"},
            {"Option3", {200, 20, 79, 15}, "UPC - A"},
            {"Option4", {288, 20, 79, 15}, "UPC - E"},
            {"Frame3", {8, 93, 520, 53}, "Text To Barcode"},
            {"Text1", {12, 20, 495, 23}, ""},
            {"Frame2", {8, 152, 520, 77}, "Barcode 128 Options"},
            {"Check4", {15, 20, 115, 16}, " With Caption"},
            {"Combo1", {81, 43, 158, 23}, ""},
            {"Combo2", {318, 43, 158, 23}, ""},
            {"PushButton2", {8, 237, 520, 27}, "Start Generating Barcode"},
            {"Shape1", {8, 272, 520, 115}, ""},
            {"PictureArea", {8, 272, 520, 120}, ""},
            {"PushButton1", {8, 395, 256, 27}, "Save As JPG"},
            {"PushButton3", {272, 395, 256, 27}, "Print Barcode"},
            {"Picture2", {8, 488, 35, 33}, ""},
        };
        for (const Row& row : rows) {
            QWidget* w = Child<QWidget>(row.name);
            QCOMPARE(w->geometry(), row.geometry);
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                QCOMPARE(b->text(), row.caption);
            if (auto* g = qobject_cast<QGroupBox*>(w))
                QCOMPARE(g->title(), row.caption);
            if (auto* b = qobject_cast<QPushButton*>(w)) {
                QCOMPARE(b->font().pointSizeF(), 11.25);
                QVERIFY(b->font().bold());
            }
        }
        // Picture1 lies in the picture area's scrolling strip, at its place in the window.
        QWidget* picture1 = Child<QWidget>("Picture1");
        QCOMPARE(QRect(picture1->mapTo(form_.get(), QPoint(0, 0)), picture1->size()),
                 QRect(11, 280, 515, 101));
        QCOMPARE(Child<QLabel>("Label2")->text(), QStringLiteral("Alignment:"));
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("Style:"));
        QCOMPARE(Child<QLabel>("Label2")->pos(), QPoint(15, 46));
        QCOMPARE(Child<QLabel>("Label3")->pos(), QPoint(280, 46));
        QVERIFY(Child<QRadioButton>("Option1")->isChecked());
        QVERIFY(Child<QGroupBox>("Frame2")->isEnabled());
        QVERIFY(!Child<QWidget>("Picture2")->isVisible());
        auto* combo1 = Child<QComboBox>("Combo1");
        auto* combo2 = Child<QComboBox>("Combo2");
        QCOMPARE(combo1->count(), 2);
        QCOMPARE(combo1->itemText(1), QStringLiteral("Top"));
        QVERIFY(!combo1->isEditable());
        QCOMPARE(combo2->count(), 5);
        QCOMPARE(combo2->itemText(3), QStringLiteral("BoldItalic"));
        QCOMPARE(combo2->currentIndex(), 0);
        QVERIFY(Child<QCheckBox>("Check4")->isChecked()); // nothing stored: ticked
        QCOMPARE(form_->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(Child<QWidget>("Frame1")->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(answers_.messages.empty());
    }

    void messages_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("1 UPC-A empty") << "Option3"
                                       << ""
                                       << "Barcode must be all numeric" << 0;
        QTest::newRow("2 UPC-A sign") << "Option3"
                                      << "-12345678901"
                                      << "Barcode must be all numeric" << 0;
        QTest::newRow("3 UPC-E point") << "Option4"
                                       << "1234.5"
                                       << "Barcode must be all numeric" << 0;
        QTest::newRow("4 UPC-A 11 digits") << "Option3"
                                           << "12345678901"
                                           << "Barcode me be 12 digit" << 64;
        QTest::newRow("5 UPC-E 5 digits") << "Option4"
                                          << "12345"
                                          << "Barcode me be 6 digit" << 64;
        QTest::newRow("6 Code 128 illegal") << "Option1" << QString::fromUtf16(u"A\u00e9")
                                            << "Error(54548):Illegal character for this "
                                               "symbology specified."
                                            << 0;
        QTest::newRow("7 Code 39 star") << "Option2"
                                        << "A*B"
                                        << "Barcode must use only 0-9, A-Z, space and - . $ / "
                                           "+ %"
                                        << 64;
        QTest::newRow("8 sample with UPC-A") << "Option3" << QString::fromStdU16String(kSampleText)
                                             << "Barcode must be all numeric" << 0;
        QTest::newRow("9 UPC-A check digit") << "Option3"
                                             << "012345678901"
                                             << "Barcode check digit must be 5" << 64;
        QTest::newRow("10 UPC-A check digit 0") << "Option3"
                                                << "000000000009"
                                                << "Barcode check digit must be 0" << 64;
    }
    void messages() {
        QFETCH(QString, option);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(int, icon);
        Generate(option.toLatin1().constData(), text);
        QCOMPARE(MessageTexts(answers_), QStringList{message});
        QCOMPARE(int(answers_.messages[0].icon), icon);
        QCOMPARE(answers_.messages[0].buttons, MsgBoxButtons::OkOnly);
        QCOMPARE(answers_.messages[0].title, std::u16string(u"Quillion"));
    }

    void helpMessage() {
        Click("PushButton4");
        QCOMPARE(answers_.messages.size(), std::size_t(1));
        const QString text = QString::fromStdU16String(answers_.messages[0].text);
        QVERIFY(text.startsWith("Questions? Please contact "));
        QVERIFY(text.contains("Velmorrow support team"));
        QVERIFY(text.contains("https://velmorrow.example/contact"));
        QCOMPARE(answers_.messages[0].icon, MsgBoxIcon::None);
        QCOMPARE(answers_.messages[0].title, std::u16string(u"Quillion"));
    }

    void roadOfOneRequest() {
        QTest::keyClicks(Child<QWidget>("Text1"), "AB");
        Click("PushButton2");
        QVERIFY(answers_.messages.empty());
        const BarcodeRequest& r = form_->Core().Request();
        QCOMPARE(r.Width, 57);
        QVERIFY(r.Height > 50 && r.Height < 70);
        auto* picture1 = Child<PictureBox>("Picture1");
        auto* picture2 = Child<PictureBox>("Picture2");
        QCOMPARE(picture1->size(), QSize(r.Width, r.Height));
        QCOMPARE(picture2->size(), QSize(r.Width, r.Height));
        QCOMPARE(picture2->Snapshot(), picture1->Snapshot());
        QCOMPARE(form_->Core().Picture2().GetImage(), form_->Core().Picture1().GetImage());
        // What the window shows is the surface's image.
        QCOMPARE(picture1->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 picture1->Snapshot());
        QCOMPARE(DecodeImage(form_->Core().Picture2().GetImage()).text, std::string("AB"));
        QCOMPARE(form_->cursor().shape(), Qt::ArrowCursor); // the hourglass went away
    }

    // A wrong UPC-A check digit leaves the barcode on show as it was; the right one scans.
    void wrongCheckDigitKeepsThePicture() {
        Generate("Option3", "036000291452");
        QVERIFY(answers_.messages.empty());
        auto* picture1 = Child<PictureBox>("Picture1");
        const QImage shown = picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QSize size = picture1->size();
        QCOMPARE(DecodeImage(form_->Core().Picture1().GetImage()).text,
                 std::string("036000291452"));

        Generate("Option3", "036000291453");
        QCOMPARE(MessageTexts(answers_), QStringList{"Barcode check digit must be 2"});
        QCOMPARE(picture1->size(), size);
        QCOMPARE(picture1->grab().toImage().convertToFormat(QImage::Format_RGB32), shown);
        QCOMPARE(DecodeImage(form_->Core().Picture1().GetImage()).text,
                 std::string("036000291452"));
    }

    void typingLimitsAndCuts() {
        auto* text1 = Child<LimitedLineEdit>("Text1");
        // Before any option handler ran there is no limit.
        QTest::keyClicks(text1, QString(25, 'x'));
        QCOMPARE(text1->text().size(), 25);
        Click("Option2");
        QCOMPARE(text1->text().size(), 25); // Code 39 does not cut
        QVERIFY(!Child<QGroupBox>("Frame2")->isEnabled());
        text1->clear();
        QTest::keyClicks(text1, QString(25, 'y'));
        QCOMPARE(text1->text(), QString(21, 'y'));
        Click("Option3");
        QCOMPARE(text1->text(), QString(12, 'y'));
        QCOMPARE(Stored("Quillion/Barcode"), QString(12, 'y'));
        // Pasting is cut to what still fits.
        text1->clear();
        QTest::keyClicks(text1, "123");
        QGuiApplication::clipboard()->setText("4567890123456789");
        QTest::keySequence(text1, QKeySequence::Paste);
        QCOMPARE(text1->text(), QStringLiteral("123456789012"));
        // The program's text is never cut; the user can delete but not add.
        Click("PushButton5");
        QCOMPARE(text1->text(), QString::fromStdU16String(kSampleText));
        text1->end(false);
        QTest::keyClick(text1, Qt::Key_Backspace);
        QCOMPARE(text1->text().size(), 19);
        QTest::keyClicks(text1, "zz");
        QCOMPARE(text1->text().size(), 19);
        Click("Option4");
        QCOMPARE(text1->text(), QStringLiteral("Coca C"));
        Click("Option1");
        QVERIFY(Child<QGroupBox>("Frame2")->isEnabled());
        QTest::keyClicks(text1, QString(30, 'w'));
        QCOMPARE(text1->text().size(), 21);
        // A paste into a selection replaces it within the limit.
        text1->selectAll();
        QGuiApplication::clipboard()->setText(QString(40, 'p'));
        QTest::keySequence(text1, QKeySequence::Paste);
        QCOMPARE(text1->text(), QString(21, 'p'));
    }

    void settingsWrittenAndReadBack() {
        QTest::keyClicks(Child<QWidget>("Text1"), "Hello");
        Click("Check4");
        QVERIFY(!Child<QCheckBox>("Check4")->isChecked());
        Child<QComboBox>("Combo1")->setCurrentIndex(1);
        form_.reset();
        QCOMPARE(Stored("Quillion/Barcode"), QStringLiteral("Hello"));
        QCOMPARE(Stored("Quillion/With Caption"), QStringLiteral("0"));
        form_ = MakeForm(answers_, program_.path());
        QCOMPARE(Child<QLineEdit>("Text1")->text(), QStringLiteral("Hello"));
        QVERIFY(!Child<QCheckBox>("Check4")->isChecked());
        QCOMPARE(Child<QComboBox>("Combo1")->currentIndex(), 0); // not remembered
        Click("Check4");
        QCOMPARE(Stored("Quillion/With Caption"), QStringLiteral("1"));
    }

    void badStoredSettings_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("withCaption");
        // Just under the 1 MiB a settings file may have, with its other lines.
        QTest::newRow("1 a megabyte") << QString((1 << 20) - 64, 'M') << "1";
        QTest::newRow("2 control characters")
            << QString::fromUtf16(u"A\u0001\r\n\tB\u0000C", 9) << "0";
        QTest::newRow("3 lone surrogates") << QString::fromUtf16(u"X\xD800Y\xDC00", 4) << "junk";
        QTest::newRow("4 commas and quotes") << "a, \"b\", c"
                                             << "1.0";
    }
    void badStoredSettings() {
        QFETCH(QString, stored);
        QFETCH(QString, withCaption);
        form_.reset();
        {
            // Written as the window writes them (Qt's own INI writer cannot keep a lone
            // surrogate).
            const auto store = CreateUserSettings();
            store->SaveSetting(kKeyBarcode, stored.toStdU16String());
            store->SaveSetting(kKeyWithCaption, withCaption.toStdU16String());
        }
        answers_ = Answers();
        form_ = MakeForm(answers_, program_.path());
        QVERIFY(answers_.messages.empty());
        QVERIFY(Child<QLineEdit>("Text1")->text().size() >= std::min<qsizetype>(stored.size(), 9));
        if (QTest::currentDataTag() == QByteArray("1 a megabyte"))
            QCOMPARE(Child<QLineEdit>("Text1")->text().size(), stored.size());
        QCOMPARE(Child<QCheckBox>("Check4")->isChecked(), withCaption.startsWith('1'));
        // Generating gives a message or an error report, the window carries on.
        for (const char* option : {"Option1", "Option2", "Option3"}) {
            answers_.messages.clear();
            Click(option);
            Click("PushButton2");
        }
        QVERIFY(form_->isEnabled());
    }

    void unreadableSettingsFile() {
        form_.reset();
        QFile file(SettingsFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\xff\xfe\x00[[[\nBarcode\n=\x01\x02", 16));
        file.close();
        answers_ = Answers();
        form_ = MakeForm(answers_, program_.path());
        QVERIFY(answers_.messages.empty());
        QTest::keyClicks(Child<QWidget>("Text1"), "Z");
        Click("PushButton2");
        QVERIFY(answers_.messages.empty());
    }

    void unwritableSettings() {
        // The settings folder lies under a regular file: nothing can be written there.
        form_.reset();
        QTemporaryDir dir;
        QFile blocker(dir.path() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        UseSettingsFolder(blocker.fileName() + "/x");
        answers_ = Answers();
        form_ = MakeForm(answers_, program_.path());
        QTest::keyClicks(Child<QWidget>("Text1"), "AB");
        Click("Check4");
        Click("PushButton2");
        QVERIFY(answers_.messages.empty());
        QCOMPARE(DecodeImage(form_->Core().Picture2().GetImage()).text, std::string("AB"));
        UseTemporarySettings();
    }

    void closingEndsTheProgram() {
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QVERIFY(form_->close());
        QVERIFY(!other.isVisible());
    }

    void failingStepsAreReportedAndTheHandlerGoesOn() {
        answers_.printer.failOn = "PaintPicture";
        Click("PushButton3");
        QCOMPARE(answers_.printer.calls, (std::vector<std::string>{"ScaleMode twips", "Copies 1",
                                                                   "PaintPicture", "EndDoc"}));
        QCOMPARE(MessageTexts(answers_), QStringList{QString::fromStdU16String(ApplicationErrorText(
                                             u"PushButton3_Click", 126, u"Printer error"))});
        QCOMPARE(answers_.messages[0].title, std::u16string(u"Application Error"));
        QCOMPARE(answers_.messages[0].icon, MsgBoxIcon::Exclamation);

        answers_ = Answers();
        answers_.dialogThrows = true;
        Click("PushButton1");
        QCOMPARE(MessageTexts(answers_), QStringList{QString::fromStdU16String(ApplicationErrorText(
                                             u"PushButton1_Click", 112, u"Cancel was selected"))});

        // Too wide for any picture: one report at the engine step, then the area is emptied.
        answers_ = Answers();
        Child<LimitedLineEdit>("Text1")->SetProgramText(QString(4000, 'W'));
        Click("PushButton2");
        QCOMPARE(answers_.messages.size(), std::size_t(1));
        QVERIFY(MessageTexts(answers_)[0].startsWith("Overflow\r\n"));
        QVERIFY(MessageTexts(answers_)[0].contains("PushButton2_Click at line 132"));
        QCOMPARE(Child<QWidget>("Picture1")->size(), QSize(0, 0));
    }

    void saveDialogSeam() {
        Click("PushButton1");
        QCOMPARE(answers_.dialogs.size(), std::size_t(1));
        QCOMPARE(answers_.dialogs[0].title,
                 std::u16string(u"Add File(s) - Hold Ctrl or Shift to select multiple files"));
        QCOMPARE(answers_.dialogs[0].filter, std::u16string(u"JPEG Files (*.jpg)|*.jpg|"));
        QVERIFY(answers_.messages.empty());
    }

    void pointerRules() {
        // No hand cursor file: the custom pointer is the arrow.
        QVERIFY(!form_->HasHandCursor());
        MoveOver("PushButton2");
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Custom);
        MoveOver("Text1");
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Default);
        MoveOver("PushButton5");
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Custom);
        MoveOver("Option3"); // no handler: the pointer stays
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Custom);
        MoveOver("Frame1", QPoint(500, 40)); // beside the option buttons
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Default);
        form_->Core().SetMousePointer(MousePointer::Hourglass);
        MoveOver("PushButton4");
        QCOMPARE(form_->Core().GetMousePointer(), MousePointer::Hourglass);
        QCOMPARE(form_->cursor().shape(), Qt::WaitCursor);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
