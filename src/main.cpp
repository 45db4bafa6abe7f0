// Program entry: Russian locale, application title, the main window (whose
// creation runs the whole start-up sequence), then the message loop.

#include "app/TfrmMain.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Campanix 1.2"));
    QApplication::setApplicationDisplayName(QStringLiteral("Campanix 1.2"));
    QApplication::setOrganizationName(QStringLiteral("Tolvena"));
    QApplication::setDesktopFileName(QStringLiteral("campanix"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    int exitCode = 0;
    {
        TfrmMain frmMain(QApplication::applicationDirPath(), arguments);
        // A required file was missing: the message has been shown, the
        // program ends without saving anything.
        if (frmMain.terminationRequested()) {
            return 1;
        }
        frmMain.show();
        exitCode = QApplication::exec();
        if (frmMain.terminationRequested()) {
            exitCode = 1;
        }
    }
    return exitCode;
}
