// Program entry: Russian locale, application title, the single-instance
// guard, the splash, the main window (whose creation runs the whole start-up
// sequence), then the message loop.

#include "app/TfrmMain.h"
#include "base/PathTable.h"
#include "base/WindowCaptions.h"

#include "base/Logging.h"
#include "desktop/CommandLine.h"
#include "desktop/FirstShown.h"
#include "desktop/HandOver.h"
#include "desktop/LocalFileName.h"
#include "desktop/RingingFileTypeRegistration.h"
#include "desktop/SingleInstance.h"
#include "desktop/Splash.h"
#include "desktop/TerminationSignals.h"
#include "ui/PictureFile.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QLocale>
#include <QPixmap>

#include <csignal>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#ifndef CAMPANIX_VERSION
#define CAMPANIX_VERSION "1.2"
#endif

namespace {

// --help and --version answer on the terminal and end the program before
// anything needs a display, a sound device or the running copy's guard.
bool answeredInformationRequest(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            return false;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("campanix " CAMPANIX_VERSION "\n", stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("Usage: campanix [ringing file]\n"
                       "       campanix html [--no-sound]\n"
                       "Trainer and player of Russian church bell ringing.\n"
                       "\n"
                       "  ringing file   a user ringing file (.ukl) to open and play; a running copy\n"
                       "                 of the program is brought forward and opens it instead\n"
                       "  html           Play exports the scores of the library as a web site into\n"
                       "                 the html folder, each ringing with its sound and a player\n"
                       "                 (the menu's \"Экспорт в HTML ...\" exports anywhere)\n"
                       "  --no-sound     with html: the site without sound and player\n"
                       "  -h, --help     show this help and exit\n"
                       "  --version      show the version and exit\n"
                       "\n"
                       "Run from its build folder the program keeps its settings (campanix.ini)\n"
                       "beside itself; installed, under $XDG_CONFIG_HOME/campanix and\n"
                       "$XDG_DATA_HOME/campanix.\n",
                       stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (answeredInformationRequest(argc, argv)) {
        return 0;
    }
    // A file grown past the size limit fails its write, as on a full disk,
    // so that the save is told as failed and the old file kept, instead of
    // the program dying with the user's unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    QElapsedTimer sinceStart;
    sinceStart.start();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication app(argc, argv);
    installQtTranslations(app);
    QApplication::setApplicationName(captions::kProgram);
    // No display name: the platform would append it to every window title,
    // and the titles are exactly the texts the windows set.
    QApplication::setOrganizationName(QStringLiteral("Tolvena"));
    QApplication::setDesktopFileName(QStringLiteral("campanix"));

    // From argv, which QApplication has cleared of its own options: its
    // arguments() would lose a file name that is not UTF-8.
    const QStringList arguments =
        argumentsWithAbsoluteFile(argumentsFromLocalBytes(argc - 1, argv + 1), QDir::currentPath());

    // Before anything of the program is read or written: a second start
    // hands its file to the running copy and ends here.
    SingleInstance guard(SingleInstance::defaultFolder());
    if (guard.claim(fileNamedByArguments(arguments).value_or(QString())) == SingleInstance::Role::Secondary) {
        return 0;
    }

    // From here on SIGTERM, SIGINT and SIGHUP close the program as its window
    // does; one that comes during start-up is served when the message loop runs.
    TerminationSignals terminationSignals;

    // The data lies beside the executable (the build tree) or, installed,
    // under <prefix>/share/campanix.
    const QString programDir = PathTable::programDirFor(QApplication::applicationDirPath());
    const QPixmap icon =
        QPixmap::fromImage(readPictureFile(programDir + QStringLiteral("Images/bell01.bmp")));
    if (!icon.isNull()) {
        QApplication::setWindowIcon(QIcon(icon));
    }

    const std::unique_ptr<TabcSplash> splash =
        TabcSplash::showPicture(programDir + QStringLiteral("Images/splash.jpg"));
    if (splash) {
        QApplication::processEvents();
    }

    int exitCode = 0;
    {
        // User ringing files open with this program from the desktop: the
        // association is written once the window is shown, off its thread.
        RingingFileTypeRegistration association(QApplication::applicationFilePath(), programDir);
        TfrmMain frmMain(programDir, arguments);
        // A required file was missing: the message has been shown, the
        // program ends without saving anything.
        if (frmMain.terminationRequested()) {
            return 1;
        }
        // A later start's file opens at once, or when a modal dialog closes.
        HandOver handOver(frmMain, [&frmMain](const QString& file) {
            TfrmMain::guarded([&] { frmMain.OpenUserRinging(file); });
        });
        QObject::connect(&guard, &SingleInstance::activationRequested, &handOver, &HandOver::receive);
        QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &frmMain,
                         [&frmMain] {
                             // Dialogs first, then the window, whose closing writes the
                             // settings; every event loop ends, the guard is released on return.
                             TfrmMain::guarded([&] {
                                 while (QWidget* modal = QApplication::activeModalWidget()) {
                                     if (!modal->close()) {
                                         break;
                                     }
                                 }
                                 frmMain.closeOnTermination();
                             });
                             QCoreApplication::exit(0);
                         });
        whenFirstShown(frmMain, [&association, &sinceStart] {
            // The window thread's own work, which a busy machine does not stretch.
            timespec cpu{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
            qCDebug(lcApp).nospace() << "main window shown " << sinceStart.elapsed()
                                     << " ms after the start (" << cpu.tv_sec * 1000 + cpu.tv_nsec / 1000000
                                     << " ms of its thread's CPU)";
            association.start();
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
