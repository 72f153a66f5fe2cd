// The picture on screens with a device pixel ratio above 1 (CTest runs this program at
// QT_SCALE_FACTOR 1.5 and 2 as well as at 1): a screenshot of the window shows every pixel of the
// picture as a whole-number square (the ratio rounded down), so every one-module bar is equally
// wide on screen, and what is saved, printed and copied is the picture itself, unscaled.
#include "Form1.h"
#include "decode.h"
#include "form_fixture.h"
#include "limited_line_edit.h"
#include "picture_box.h"
#include "picture_export.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace quillion;
using namespace quillion::testing;

class TestHighDpi : public QObject {
    Q_OBJECT

private:
    QTemporaryDir program_;

private slots:
    void initTestCase() { UseTemporarySettings(); }

    void modulesAreEquallyWideOnScreen_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 Code 128") << "Option1"
                                    << "Coca Cola 12pk $6.99";
        QTest::newRow("2 Code 39") << "Option2"
                                   << "CODE39";
        QTest::newRow("3 UPC-A") << "Option3"
                                 << "036000291452";
    }
    void modulesAreEquallyWideOnScreen() {
        QFETCH(QString, option);
        QFETCH(QString, text);
        Answers answers;
        const std::unique_ptr<Form1> form = MakeForm(answers, program_.path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QRadioButton*>(option)->click();
        form->findChild<LimitedLineEdit*>("Text1")->SetProgramText(text);
        form->findChild<QPushButton*>("PushButton2")->click();
        QVERIFY(answers.messages.empty());

        const qreal ratio = form->devicePixelRatioF();
        const int scale = std::max(1, int(std::floor(ratio)));
        auto* box = form->findChild<PictureBox*>("Picture1");
        QCOMPARE(box->ScreenScale(), scale);
        const Image& picture = form->Core().Picture1().GetImage();

        // The window as the screen shows it, in device pixels.
        const QImage shot = form->grab().toImage();
        QCOMPARE(shot.width(), int(std::round(Form1::kClientWidth * ratio)));
        const QPointF topLeft = QPointF(box->mapTo(form.get(), QPoint(0, 0))) * ratio;
        const int x0 = int(std::round(topLeft.x())), y0 = int(std::round(topLeft.y()));
        // Every pixel of the picture is a scale x scale square, where the picture says: every
        // one-module bar is equally wide on screen.
        QImage shown = shot.copy(x0, y0, picture.width * scale, picture.height * scale)
                           .convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        const QImage expected =
            ToQImage(picture).scaled(picture.width * scale, picture.height * scale);
        QCOMPARE(shown, expected);
        // Saved, printed and copied: the picture's own pixels, read back as a barcode.
        if (option != "Option3")
            QCOMPARE(QString::fromStdString(DecodeImage(form->Core().ExportPicture()).text), text);
        QCOMPARE(form->Core().ExportPicture().width, picture.width);
    }
};

QTEST_MAIN(TestHighDpi)
#include "tst_high_dpi.moc"
