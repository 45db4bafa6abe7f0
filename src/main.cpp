// Program entry: Russian locale, application title, the main window (whose
// creation runs the whole start-up sequence), then the message loop.

#include "app/TfrmMain.h"

#include "ui/JpegImage.h"
#include "ui/PictureFile.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

#include <memory>

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Campanix 1.2"));
    // No display name: the platform would append it to every window title,
    // and the titles are exactly the texts the windows set.
    QApplication::setOrganizationName(QStringLiteral("Tolvena"));
    QApplication::setDesktopFileName(QStringLiteral("campanix"));

    const QPixmap icon = QPixmap::fromImage(
        readPictureFile(QApplication::applicationDirPath() + QStringLiteral("/Images/bell01.bmp")));
    if (!icon.isNull()) {
        QApplication::setWindowIcon(QIcon(icon));
    }

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    // The splash picture stays for 1500 ms while the program starts.
    std::unique_ptr<QSplashScreen> splash;
    // Guarded like every start-up step: a damaged picture means no splash.
    try {
        const QImage splashPicture =
            loadJpeg(QApplication::applicationDirPath() + QStringLiteral("/Images/splash.jpg"));
        if (!splashPicture.isNull()) {
            splash = std::make_unique<QSplashScreen>(QPixmap::fromImage(splashPicture));
            splash->show();
            QApplication::processEvents();
            QTimer::singleShot(1500, splash.get(), &QWidget::close);
        }
    } catch (...) {
        splash.reset();
    }

    int exitCode = 0;
    {
        TfrmMain frmMain(QApplication::applicationDirPath(), arguments);
        // A required file was missing: the message has been shown, the
        // program ends without saving anything.
        if (frmMain.terminationRequested()) {
            return 1;
        }
        frmMain.show();
        if (splash) {
            splash->raise();
        }
        exitCode = QApplication::exec();
        if (frmMain.terminationRequested()) {
            exitCode = 1;
        }
    }
    return exitCode;
}
