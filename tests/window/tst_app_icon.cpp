// The installed PNG icons hold exactly the window's icon drawing, size by size, and the window
// carries every installed size. After a change of the drawing, run this test once with
// QUILLION_WRITE_ICONS=1 to rewrite data/icons/hicolor/ from it.
#include "app_icon.h"

#include <QDir>
#include <QTest>

using namespace quillion;

namespace {

QString IconPath(int side) {
    return qEnvironmentVariable("QUILLION_SOURCE_DIR") +
           QStringLiteral("/data/icons/hicolor/%1x%1/apps/io.github.velmorrow.Quillion.png")
               .arg(side);
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT
private slots:
    void installedPngsAreTheDrawing_data() {
        QTest::addColumn<int>("side");
        for (int side : kAppIconSides)
            QTest::newRow(qPrintable(QString::number(side))) << side;
    }
    void installedPngsAreTheDrawing() {
        QFETCH(int, side);
        const QImage drawn = DrawAppIcon(side);
        if (qEnvironmentVariableIsSet("QUILLION_WRITE_ICONS")) {
            QVERIFY(QDir().mkpath(QFileInfo(IconPath(side)).path()));
            QVERIFY(drawn.save(IconPath(side), "PNG"));
        }
        QImage stored(IconPath(side));
        QVERIFY2(!stored.isNull(), qPrintable(IconPath(side)));
        QCOMPARE(stored.size(), QSize(side, side));
        stored = stored.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(stored, drawn);
        // Not a blank square: the dark bars and the red line are there.
        if (side < 48)
            return;
        QCOMPARE(drawn.pixelColor(side * 7 / 64, side * 20 / 64), QColor(20, 30, 60));
        QCOMPARE(drawn.pixelColor(side * 30 / 64, side * 53 / 64), QColor(200, 60, 40));
        QCOMPARE(drawn.pixelColor(0, 0).alpha(), 0);
    }

    void windowIconHasEverySize() {
        const QList<QSize> sizes = MakeAppIcon().availableSizes();
        for (int side : kAppIconSides)
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_app_icon.moc"
