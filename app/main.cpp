// Quillion: the barcode generator's window.
#include "Form1.h"
#include "app_icon.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velmorrow"));
    QApplication::setApplicationName(QStringLiteral("Quillion"));
    // The installed desktop entry's name: desktops match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLION_APP_ID));
    QApplication::setWindowIcon(quillion::MakeAppIcon());
    quillion::Form1 form;
    form.show();
    return app.exec();
}
