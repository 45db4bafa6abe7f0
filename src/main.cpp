// Program entry: Russian locale, application title, the single-instance
// guard, the splash, the main window (whose creation runs the whole start-up
// sequence), then the message loop.

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"

#include "desktop/CommandLine.h"
#include "desktop/SingleInstance.h"
#include "desktop/Splash.h"
#include "ui/PictureFile.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QPixmap>

#include <memory>

namespace {

// A later start asked for the window: restore it when minimized and bring
// forward whichever of its windows the user works in (a modal dialog first).
void bringForward(TfrmMain& window) {
    if (window.isMinimized()) {
        window.showNormal();
    }
    QWidget* front = QApplication::activeModalWidget();
    if (!front) {
        front = &window;
    }
    front->raise();
    front->activateWindow();
}

} // namespace

int main(int argc, char* argv[]) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    installQtTranslations(app);
    QApplication::setApplicationName(captions::kProgram);
    // No display name: the platform would append it to every window title,
    // and the titles are exactly the texts the windows set.
    QApplication::setOrganizationName(QStringLiteral("Tolvena"));
    QApplication::setDesktopFileName(QStringLiteral("campanix"));

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    arguments = argumentsWithAbsoluteFile(arguments, QDir::currentPath());

    // Before anything of the program is read or written: a second start
    // hands its file to the running copy and ends here.
    SingleInstance guard(SingleInstance::defaultFolder());
    if (guard.claim(fileNamedByArguments(arguments).value_or(QString())) == SingleInstance::Role::Secondary) {
        return 0;
    }

    const QPixmap icon = QPixmap::fromImage(
        readPictureFile(QApplication::applicationDirPath() + QStringLiteral("/Images/bell01.bmp")));
    if (!icon.isNull()) {
        QApplication::setWindowIcon(QIcon(icon));
    }

    const std::unique_ptr<TabcSplash> splash =
        TabcSplash::showPicture(QApplication::applicationDirPath() + QStringLiteral("/Images/splash.jpg"));
    if (splash) {
        QApplication::processEvents();
    }

    int exitCode = 0;
    {
        TfrmMain frmMain(QApplication::applicationDirPath(), arguments);
        // A required file was missing: the message has been shown, the
        // program ends without saving anything.
        if (frmMain.terminationRequested()) {
            return 1;
        }
        QObject::connect(&guard, &SingleInstance::activationRequested, &frmMain,
                         [&frmMain](const QString& file) {
                             TfrmMain::guarded([&] {
                                 bringForward(frmMain);
                                 // A modal dialog (recording, about) is left as it is.
                                 if (!file.isEmpty() && !QApplication::activeModalWidget()) {
                                     frmMain.OpenUserRinging(file);
                                 }
                             });
                         });
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
