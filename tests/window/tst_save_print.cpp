// "Save As JPG" and "Print Barcode" from the real window: the picture saved follows the option
// selected at that moment, saving before any generation writes the initial export picture, a
// folder that cannot be written gives the error report and no file, and printing without a
// default printer reports every failing step while the window stays usable.
//
// Printing for real (QUILLION_PRINT_TEST=print) is run by tests/scripts/test_print.sh with a
// private cupsd whose cups-pdf queue writes to $QUILLION_PRINT_PDF_DIR. Otherwise the CUPS
// client is pointed at a server that does not exist, so no default printer is found and the
// machine's own printers are never used.
#include "Form1.h"

#include "decode.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <turbojpeg.h>

#include <fstream>
#include <iterator>

using namespace quillion;

namespace {

bool PrintingForReal() {
    return qgetenv("QUILLION_PRINT_TEST") == "print";
}

std::u16string U16(const QString& s) {
    return s.toStdU16String();
}

Image ReadJpeg(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    Image image;
    tjhandle decoder = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (!bytes.empty() && tjDecompressHeader3(decoder, data, bytes.size(), &width, &height,
                                              &subsampling, &colorspace) == 0) {
        image = Image(width, height, 0);
        if (tjDecompress2(decoder, data, bytes.size(),
                          reinterpret_cast<unsigned char*>(image.pixels.data()), width, 0, height,
                          TJPF_BGRX, 0) != 0) {
            image = Image();
        }
    }
    tjDestroy(decoder);
    for (auto& p : image.pixels) {
        p |= 0xFF000000u;
    }
    return image;
}

// Mean difference per channel: small for a JPEG of the same picture.
double MeanError(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) {
        return 1e9;
    }
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            sum +=
                std::abs(int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF));
        }
    }
    return sum / (3.0 * double(a.pixels.size()));
}

} // namespace

class TestSavePrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form_;
    std::vector<MessageBoxRequest> messages_;
    std::vector<SaveDialogRequest> dialogs_;
    std::u16string answer_; // what the save dialog returns
    QTemporaryDir folder_;

    void Click(const char* name) {
        auto* button = form_->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY2(button != nullptr, name);
        button->click();
    }
    void Choose(const char* option) {
        auto* radio = form_->findChild<QRadioButton*>(QString::fromLatin1(option));
        QVERIFY2(radio != nullptr, option);
        radio->click();
    }
    void Generate(const char* option, const std::u16string& text) {
        Choose(option);
        form_->SetText(text);
        Click("PushButton2");
    }
    void SaveAs(const QString& path) {
        answer_ = U16(path);
        Click("PushButton1");
    }

private slots:
    void initTestCase() {
        if (!PrintingForReal()) {
            // Before Qt's CUPS plug-in first asks: no server, so no default printer.
            qputenv("CUPS_SERVER", QByteArray("/nonexistent/quillion-no-cups.sock"));
        }
        QVERIFY(folder_.isValid());
    }

    void init() {
        messages_.clear();
        dialogs_.clear();
        Form1Environment env;
        env.programFolder = folder_.path();
        env.settings = std::make_shared<MemorySettings>();
        env.messageBox = [this](const MessageBoxRequest& box) {
            messages_.push_back(box);
            return MsgBoxResult::Ok;
        };
        env.saveDialog = [this](const SaveDialogRequest& dialog) {
            dialogs_.push_back(dialog);
            return answer_;
        };
        form_ = std::make_unique<Form1>(env);
        form_->show();
    }

    void cleanup() { form_.reset(); }

    void saveBeforeAnyGenerationWritesTheInitialExportPicture() {
        const QString path = folder_.filePath("initial.jpg");
        SaveAs(path);
        QVERIFY2(messages_.empty(), messages_.empty() ? "" : "unexpected message");
        QCOMPARE(dialogs_.size(), std::size_t(1));
        QVERIFY(dialogs_[0].fileName.empty());
        QVERIFY(dialogs_[0].title == u"Add File(s) - Hold Ctrl or Shift to select multiple files");
        QVERIFY(dialogs_[0].filter == u"JPEG Files (*.jpg)|*.jpg|");
        const Image saved = ReadJpeg(path);
        const Image& exported = form_->Core().Picture2().GetImage();
        QCOMPARE(saved.width, exported.width);
        QCOMPARE(saved.height, exported.height);
        QVERIFY(exported.width > 0 && exported.height > 0);
        QVERIFY(MeanError(saved, exported) < 6.0);
        // The quality the handler passes reaches the file: ImageMagick estimates it from the
        // quantisation tables.
        QProcess identify;
        identify.start(QStringLiteral("identify"),
                       {QStringLiteral("-format"), QStringLiteral("%Q"), path});
        QVERIFY(identify.waitForFinished(60000));
        QCOMPARE(identify.readAllStandardOutput(), QByteArray("80"));
    }

    void saveFollowsTheOptionSelectedNotTheLastGeneration() {
        Generate("Option1", u"AB");           // Code 128 -> Picture2
        Generate("Option3", u"036000291452"); // UPC-A -> Picture1 only
        QVERIFY(messages_.empty());
        const Image upc = form_->Core().Picture1().GetImage();
        const Image code128 = form_->Core().Picture2().GetImage();
        QVERIFY(upc != code128);

        struct Row {
            int row;
            const char* option;
            const char* file;
            const Image* expected;
        };
        const Row rows[] = {
            {1, "Option1", "code128-after-upc.jpg", &code128}, // switched without generating
            {2, "Option2", "code39-after-upc.jpg", &code128},  // Code 39 also saves Picture2
            {3, "Option3", "upc-a.jpg", &upc},
            {4, "Option4", "upc-e-switched.jpg", &upc}, // UPC-E saves Picture1 as it is
        };
        for (const Row& r : rows) {
            Choose(r.option);
            SaveAs(folder_.filePath(QString::fromLatin1(r.file)));
            QVERIFY2(messages_.empty(), qPrintable(QStringLiteral("row %1").arg(r.row)));
            const Image saved = ReadJpeg(folder_.filePath(QString::fromLatin1(r.file)));
            QVERIFY2(saved.width == r.expected->width && saved.height == r.expected->height,
                     qPrintable(QStringLiteral("row %1: %2 x %3")
                                    .arg(r.row)
                                    .arg(saved.width)
                                    .arg(saved.height)));
            QVERIFY2(MeanError(saved, *r.expected) < 6.0,
                     qPrintable(QStringLiteral("row %1").arg(r.row)));
        }
        const auto read = testing::DecodeImage(ReadJpeg(folder_.filePath("code128-after-upc.jpg")));
        QVERIFY(read.ok);
        QCOMPARE(read.text, std::string("AB"));
    }

    void aNameWithoutExtensionIsKeptAndCancelWritesNothing() {
        Generate("Option1", u"Coca Cola 12pk $6.99");
        const QDir dir(folder_.path());
        const QStringList before = dir.entryList(QDir::Files);
        SaveAs(folder_.filePath("plain name"));
        QVERIFY(QFileInfo::exists(folder_.filePath("plain name")));
        QVERIFY(!QFileInfo::exists(folder_.filePath("plain name.jpg")));
        const auto read = testing::DecodeImage(ReadJpeg(folder_.filePath("plain name")));
        QCOMPARE(read.text, std::string("Coca Cola 12pk $6.99"));

        SaveAs(QString()); // cancelled
        QVERIFY(messages_.empty());
        QCOMPARE(dir.entryList(QDir::Files).size(), before.size() + 1);
    }

    void aFolderThatCannotBeWrittenGivesTheReportAndNoFile() {
        Generate("Option1", u"AB");
        struct Row {
            int row;
            const char* option;
            QString path;
            const char16_t* line;
        };
        const Row rows[] = {
            {1, "Option1", folder_.filePath("missing folder/a.jpg"), u"at line 120"},
            {2, "Option3", QStringLiteral("/proc/quillion.jpg"), u"at line 118"},
        };
        for (const Row& r : rows) {
            messages_.clear();
            Choose(r.option);
            SaveAs(r.path);
            QVERIFY2(messages_.size() == 1, qPrintable(QStringLiteral("row %1").arg(r.row)));
            const std::u16string& text = messages_[0].text;
            QVERIFY2(text.find(u"Cannot save the image. GDI+ Error:7") != std::u16string::npos,
                     qPrintable(QString::fromStdU16String(text)));
            QVERIFY(text.find(u"PushButton1_Click") != std::u16string::npos);
            QVERIFY(text.find(r.line) != std::u16string::npos);
            QVERIFY(messages_[0].title == u"Application Error");
            QVERIFY(!QFileInfo::exists(r.path));
        }
        QVERIFY(!QFileInfo::exists(folder_.filePath("missing folder")));
    }

    void printingWithoutADefaultPrinterReportsEachStepAndTheWindowStaysUsable() {
        if (PrintingForReal()) {
            QSKIP("a default printer exists in this run");
        }
        Generate("Option1", u"AB");
        QElapsedTimer timer;
        timer.start();
        Click("PushButton3");
        QVERIFY2(timer.elapsed() < 30000, "printing took too long");
        // Printer scale mode, copies, paint and end of document each fail on their own.
        const char16_t* lines[] = {u"at line 110", u"at line 118", u"at line 126", u"at line 128"};
        QCOMPARE(messages_.size(), std::size(lines));
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            const std::u16string& text = messages_[i].text;
            QVERIFY2(text.find(u"Printer error") != std::u16string::npos,
                     qPrintable(QString::fromStdU16String(text)));
            QVERIFY(text.find(u"PushButton3_Click") != std::u16string::npos);
            QVERIFY(text.find(lines[i]) != std::u16string::npos);
        }
        messages_.clear();
        Generate("Option1", u"XYZ");
        SaveAs(folder_.filePath("after-print.jpg"));
        QVERIFY(messages_.empty());
        QCOMPARE(testing::DecodeImage(ReadJpeg(folder_.filePath("after-print.jpg"))).text,
                 std::string("XYZ"));
    }

    void printingThroughCupsWritesOnePagePerPress() {
        if (!PrintingForReal()) {
            QSKIP("run by tests/scripts/test_print.sh with a private cupsd");
        }
        const QString pdfDir = qEnvironmentVariable("QUILLION_PRINT_PDF_DIR");
        QVERIFY(!pdfDir.isEmpty());
        const QDir dir(pdfDir);
        struct Row {
            int row;
            const char* option;
            std::u16string text;
            QString expected;
        };
        const Row rows[] = {
            {1, "Option1", u"Coca Cola 12pk $6.99", QStringLiteral("Coca Cola 12pk $6.99")},
            {2, "Option2", u"CODE39", QStringLiteral("CODE39")},
        };
        for (const Row& r : rows) {
            const auto before = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
            Generate(r.option, r.text);
            Click("PushButton3");
            QVERIFY2(messages_.empty(), qPrintable(QStringLiteral("row %1").arg(r.row)));
            // cups-pdf writes the file when the job is done: wait for it, at most 60 seconds.
            QStringList pdfs;
            QElapsedTimer timer;
            timer.start();
            do {
                QTest::qWait(100);
                pdfs = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
            } while (pdfs.size() <= before && timer.elapsed() < 60000);
            QVERIFY2(pdfs.size() == before + 1,
                     qPrintable(QStringLiteral("row %1: no PDF after 60 s").arg(r.row)));
            // The file grows while Ghostscript writes it: wait until it reads as a whole PDF.
            const QString pdf = dir.filePath(pdfs.first());
            QByteArray info;
            do {
                QProcess pdfinfo;
                pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
                QVERIFY(pdfinfo.waitForFinished(30000));
                info = pdfinfo.exitCode() == 0 ? pdfinfo.readAllStandardOutput() : QByteArray();
                if (info.isEmpty()) {
                    QTest::qWait(100);
                }
            } while (info.isEmpty() && timer.elapsed() < 60000);
            QVERIFY2(
                QString::fromUtf8(info).contains(QRegularExpression(
                    QStringLiteral("^Pages:\\s+1$"), QRegularExpression::MultilineOption)),
                qPrintable(QStringLiteral("row %1: %2").arg(r.row).arg(QString::fromUtf8(info))));
            const QString page = folder_.filePath(QStringLiteral("page"));
            QProcess render;
            render.start(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-gray"),
                          QStringLiteral("-singlefile"), pdf, page});
            QVERIFY(render.waitForFinished(60000));
            QProcess scan;
            scan.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"),
                                                   page + QStringLiteral(".pgm")});
            QVERIFY(scan.waitForFinished(60000));
            QCOMPARE(QString::fromUtf8(scan.readAllStandardOutput()).trimmed(), r.expected);
        }
    }
};

QTEST_MAIN(TestSavePrint)
#include "tst_save_print.moc"
