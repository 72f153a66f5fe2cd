// The command-line renderer and the window give the same pixels: for each row the window is
// driven through its widgets (option, text, caption box, position, style, Generate), then
// quillion-render is run with the matching options; its PNG, read by Qt's own PNG reader, equals
// the window's Picture2 (Code 128, Code 39) or Picture1 (UPC-A, UPC-E), as the picture box shows
// it. Its JPEG is what "Save As JPG" writes from the same window. The library's Render, given the
// same request, paints the same pixels too.
#include "Form1.h"
#include "form_fixture.h"
#include "limited_line_edit.h"
#include "picture_box.h"
#include "quillion/quillion.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace quillion;
using namespace quillion::testing;

namespace {

struct Row {
    int row;
    const char* option; // Option1 Code 128, Option2 Code 39, Option3 UPC-A, Option4 UPC-E
    QString text;
    bool caption;
    int position; // Combo1 index
    int style;    // Combo2 index
};

const char* TypeName(const char* option) {
    const QByteArray o(option);
    return o == "Option1"   ? "code128"
           : o == "Option2" ? "code39"
           : o == "Option3" ? "upca"
                            : "upce";
}

const char* kPositions[] = {"bottom", "top"};
const char* kStyles[] = {"regular", "bold", "italic", "bolditalic", "underline"};

QString RendererPath() {
    return qEnvironmentVariable("QUILLION_BINARY_DIR") + QStringLiteral("/quillion-render");
}

QStringList RendererArguments(const Row& r, const QString& output) {
    return {QStringLiteral("--type"),
            QString::fromLatin1(TypeName(r.option)),
            r.caption ? QStringLiteral("--caption") : QStringLiteral("--no-caption"),
            QStringLiteral("--position"),
            QString::fromLatin1(kPositions[r.position]),
            QStringLiteral("--style"),
            QString::fromLatin1(kStyles[r.style]),
            QStringLiteral("--output"),
            output,
            QStringLiteral("--"),
            r.text};
}

// The row through the library's API, as a picture in the window's pixel format.
QImage RenderThroughApi(const Row& r) {
    namespace api = quillion::api;
    const QByteArray o(r.option);
    const api::Symbology symbology = o == "Option1"   ? api::Symbology::Code128
                                     : o == "Option2" ? api::Symbology::Code39
                                     : o == "Option3" ? api::Symbology::UpcA
                                                      : api::Symbology::UpcE;
    api::Options options; // the caption settings are Code 128's, as in the window
    if (symbology == api::Symbology::Code128) {
        options.caption = !r.caption        ? api::CaptionPosition::None
                          : r.position == 1 ? api::CaptionPosition::Above
                                            : api::CaptionPosition::Below;
        options.captionStyle = api::CaptionStyle(r.style);
    }
    const api::RenderResult result = api::Render(symbology, r.text.toStdString(), options);
    if (!result)
        return {};
    const api::Picture& p = result.picture();
    return QImage(p.Rgba().data(), p.Width(), p.Height(), p.Width() * 4, QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestCliMatchesWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir program_;
    QTemporaryDir out_;
    Answers answers_;
    std::unique_ptr<Form1> form_;

    template <class T> T* Child(const char* name) {
        T* child = form_->findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    void Click(const char* name) { QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton); }

    // Generates the row in a fresh window; returns the picture that saving would take, as the
    // window shows it.
    QImage GenerateInWindow(const Row& r) {
        form_ = MakeForm(answers_, program_.path());
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get()))
            qFatal("window not exposed");
        Click(r.option);
        if (Child<QCheckBox>("Check4")->isChecked() != r.caption)
            Click("Check4");
        Child<QComboBox>("Combo1")->setCurrentIndex(r.position);
        Child<QComboBox>("Combo2")->setCurrentIndex(r.style);
        Child<LimitedLineEdit>("Text1")->SetProgramText(r.text);
        answers_.messages.clear();
        Click("PushButton2");
        const bool upc = QByteArray(r.option) == "Option3" || QByteArray(r.option) == "Option4";
        const char* picture = upc ? "Picture1" : "Picture2";
        const Image& core =
            upc ? form_->Core().Picture1().GetImage() : form_->Core().Picture2().GetImage();
        if (core != form_->Core().ExportPicture())
            qFatal("the export picture is not %s", picture);
        return Child<PictureBox>(picture)->Snapshot();
    }

    QImage RunRenderer(const Row& r, const QString& file) {
        QProcess process;
        process.start(RendererPath(), RendererArguments(r, out_.filePath(file)));
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            qWarning("quillion-render failed: %s", process.readAllStandardError().constData());
        return QImage(out_.filePath(file)).convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase() {
        UseTemporarySettings();
        QVERIFY(QFile::exists(RendererPath()));
    }
    void init() { ClearSettings(); }
    void cleanup() { form_.reset(); }

    void pixelsEqualTheWindows() {
        const Row rows[] = {
            {1, "Option1", QStringLiteral("AB"), true, 0, 0},
            {2, "Option1", QStringLiteral("Coca Cola 12pk $6.99"), true, 1, 1},
            {3, "Option1", QStringLiteral("Hello, World!"), true, 0, 2},
            {4, "Option1", QStringLiteral("12345678"), false, 0, 3},
            {5, "Option1", QStringLiteral("~{|}^_`"), true, 1, 4},
            {6, "Option1", QStringLiteral("W"), true, 0, 0}, // caption wider than the bars
            // Wider than the picture area: the area takes the painted size.
            {7, "Option1", QString(40, QLatin1Char('M')), true, 0, 0},
            {8, "Option1", QStringLiteral("\uff21\uff22"), true, 0, 0}, // fullwidth letters
            {9, "Option2", QStringLiteral("HELLO-39"), true, 0, 0},
            {10, "Option2", QStringLiteral("abc $/+%. 12"), false, 1, 2}, // options unused
            {11, "Option2", QStringLiteral("X"), true, 0, 0},
            {12, "Option3", QStringLiteral("036000291452"), true, 0, 0},
            {13, "Option3", QStringLiteral("123456789012"), true, 0, 0},
            {14, "Option4", QStringLiteral("123456"), true, 0, 0},
            {15, "Option4", QStringLiteral("000000"), false, 1, 1},
            {16, "Option1", QStringLiteral("A\x10z\x10"), true, 0, 0}, // DLE: SHIFT and 80
            {17, "Option4", QStringLiteral("987650"), true, 0, 0},
        };
        for (const Row& r : rows) {
            const QByteArray where = "row " + QByteArray::number(r.row);
            const QImage window = GenerateInWindow(r);
            QVERIFY2(answers_.messages.empty(), where);
            QVERIFY2(!window.isNull() && window.width() > 0, where);
            const QImage cli = RunRenderer(r, QStringLiteral("row%1.png").arg(r.row));
            QVERIFY2(cli.size() == window.size(), where);
            QVERIFY2(cli == window, where);
            QVERIFY2(RenderThroughApi(r) == window, where);
        }
    }

    // The JPEG of the renderer is byte for byte the file "Save As JPG" writes.
    void jpegIsWhatSaveAsJpgWrites() {
        const Row rows[] = {
            {1, "Option1", QStringLiteral("Coca Cola 12pk $6.99"), true, 0, 0},
            {2, "Option2", QStringLiteral("HELLO-39"), true, 0, 0},
            {3, "Option3", QStringLiteral("036000291452"), true, 0, 0},
        };
        for (const Row& r : rows) {
            const QByteArray where = "row " + QByteArray::number(r.row);
            GenerateInWindow(r);
            const QString saved = out_.filePath(QStringLiteral("window%1.jpg").arg(r.row));
            answers_.saveAs = saved.toStdU16String();
            Click("PushButton1");
            QVERIFY2(answers_.messages.empty(), where);
            const QString rendered = QStringLiteral("cli%1.jpg").arg(r.row);
            RunRenderer(r, rendered);
            QFile a(saved), b(out_.filePath(rendered));
            QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), where);
            const QByteArray bytes = a.readAll();
            QVERIFY2(bytes.size() > 100, where);
            QVERIFY2(bytes == b.readAll(), where);
        }
    }
};

QTEST_MAIN(TestCliMatchesWindow)
#include "tst_cli_matches_window.moc"
