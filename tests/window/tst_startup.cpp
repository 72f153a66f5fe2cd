// Start-up of the window with the optional files of the program folder: the hand cursor
// (missing, empty, broken, oversized, good) and the skin (missing, present, too large).
#include "Form1.h"
#include "form_fixture.h"
#include "step_runner.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace quillion;
using namespace quillion::testing;

namespace {

void Put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, int v) {
    Put16(b, v & 0xFFFF);
    Put16(b, (v >> 16) & 0xFFFF);
}

// A 32 x 32 monochrome cursor: black square in the top-left quarter, the rest transparent.
QByteArray HandCursorBytes(int hotX, int hotY) {
    QByteArray dib;
    Put32(dib, 40);
    Put32(dib, 32);
    Put32(dib, 64);
    Put16(dib, 1);
    Put16(dib, 1);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    Put32(dib, 0x00000000);               // palette: black
    Put32(dib, 0x00FFFFFF);               //          white
    dib.append(QByteArray(32 * 4, '\0')); // XOR: all black
    for (int row = 31; row >= 0; --row)   // AND: opaque in the top-left quarter
        for (int byte = 0; byte < 4; ++byte)
            dib.append(char(row < 16 && byte < 2 ? 0x00 : 0xFF));
    QByteArray file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file.append(char(32));
    file.append(char(32));
    file.append('\0');
    file.append('\0');
    Put16(file, hotX);
    Put16(file, hotY);
    Put32(file, int(dib.size()));
    Put32(file, 22);
    return file + dib;
}

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> program_;
    Answers answers_;
    std::unique_ptr<Form1> form_;

    void Load() {
        answers_ = Answers();
        form_ = MakeForm(answers_, program_->path());
    }
    QColor Background(const char* name) {
        return form_->findChild<QWidget*>(name)->palette().color(QPalette::Window);
    }

private slots:
    void initTestCase() { UseTemporarySettings(); }
    void init() { program_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() {
        form_.reset();
        program_.reset();
    }

    void cursorFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("report"); // description, "" for none
        QTest::newRow("1 good") << HandCursorBytes(5, 7) << true << "";
        QTest::newRow("2 empty") << QByteArray() << false << "Invalid picture";
        QTest::newRow("3 text") << QByteArray("just some text") << false << "Invalid picture";
        QTest::newRow("4 truncated")
            << HandCursorBytes(5, 7).left(100) << false << "Invalid picture";
        QTest::newRow("5 hot spot outside") << HandCursorBytes(40, 7) << false << "Invalid picture";
        QTest::newRow("6 two megabytes") << QByteArray(2 << 20, '\0') << false << "Invalid picture";
    }
    void cursorFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loaded);
        QFETCH(QString, report);
        Write(program_->path() + "/HAND-M.CUR", bytes);
        Load();
        QCOMPARE(form_->HasHandCursor(), loaded);
        if (report.isEmpty()) {
            QVERIFY(answers_.messages.empty());
        } else {
            QCOMPARE(answers_.messages.size(), std::size_t(1));
            QCOMPARE(answers_.messages[0].text,
                     ApplicationErrorText(u"Form_Load", 106, report.toStdU16String()));
            QCOMPARE(answers_.messages[0].title, std::u16string(u"Application Error"));
        }
        // Start-up went on after the cursor: title, lists and text box are set up.
        QCOMPARE(form_->windowTitle(), QStringLiteral("Quillion"));
        QCOMPARE(form_->findChild<QWidget*>("Combo2")->property("count").toInt(), 5);
        if (loaded) {
            QCOMPARE(form_->HandCursor().hotSpot(), QPoint(5, 7));
            form_->show();
            QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
            QWidget* button = form_->findChild<QWidget*>("PushButton2");
            QWindow* window = form_->windowHandle();
            QTest::mouseMove(window, window->mapFromGlobal(button->mapToGlobal(QPoint(20, 10))));
            QCOMPARE(form_->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(form_->cursor().hotSpot(), QPoint(5, 7));
            const QImage shown = form_->cursor().pixmap().toImage();
            QCOMPARE(qAlpha(shown.pixel(2, 2)), 255);
            QCOMPARE(qAlpha(shown.pixel(20, 20)), 0);
        }
    }

    void missingCursorFile() {
        Load();
        QVERIFY(!form_->HasHandCursor());
        QVERIFY(answers_.messages.empty());
    }

    void noSkinKeepsTheWhiteLook() {
        Load();
        for (const char* name : {"Form1", "Frame1", "Frame2", "Option1", "Check4", "Label2"})
            QCOMPARE(name == QByteArray("Form1") ? form_->palette().color(QPalette::Window)
                                                 : Background(name),
                     QColor(Qt::white));
        QVERIFY(form_->styleSheet().isEmpty());
        QVERIFY(!form_->Skin().Loaded());
    }

    void skinFile() {
        const QString sheet = QStringLiteral("QPushButton { color: rgb(200, 0, 0); }");
        Write(program_->path() + "/x/o.cjs", sheet.toUtf8());
        Load();
        QVERIFY(answers_.messages.empty());
        const QColor face = QApplication::palette().color(QPalette::Button);
        QVERIFY(face != QColor(Qt::white));
        QCOMPARE(form_->palette().color(QPalette::Window), face);
        for (const char* name :
             {"Frame1", "Frame2", "Frame3", "Option1", "Option4", "Check4", "Label2", "Label3"})
            QCOMPARE(Background(name), face);
        QCOMPARE(Background("Shape1"), QColor(Qt::white));
        QCOMPARE(form_->styleSheet(), sheet);
        QCOMPARE(form_->Skin().Options() & 1, 1);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        auto* button = form_->findChild<QPushButton*>("PushButton2");
        QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(200, 0, 0));
    }

    void brokenSkinFiles() {
        // Not a style sheet at all: Qt ignores what it cannot parse; start-up goes on.
        Write(program_->path() + "/x/o.cjs", QByteArray("\x00\xff{{{;;;}}}\x01", 12));
        Load();
        QVERIFY(answers_.messages.empty());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_.reset();

        // Too large for a skin: the report names step 100, the rest of start-up runs.
        Write(program_->path() + "/x/o.cjs", QByteArray(2 << 20, ' '));
        Load();
        QCOMPARE(answers_.messages.size(), std::size_t(1));
        QVERIFY(
            QString::fromStdU16String(answers_.messages[0].text).contains("Form_Load at line 100"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Quillion"));
        form_.reset();

        // A folder where the skin file should be: no skin.
        QFile::remove(program_->path() + "/x/o.cjs");
        QDir().mkpath(program_->path() + "/x/o.cjs");
        Load();
        QVERIFY(answers_.messages.empty());
        QCOMPARE(form_->palette().color(QPalette::Window), QColor(Qt::white));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
