// Opening user ringing files: from the File menu, from the command line and
// from a second start of the program; the about box.

#include "app/TfrmMain.h"
#include "base/WindowCaptions.h"
#include "desktop/CommandLine.h"
#include "desktop/LocalFileName.h"
#include "desktop/UserRingingCheck.h"
#include "record/ScoreEditor.h"
#include "ringing/RingingLoader.h"
#include "ringing/RingingReader.h"
#include "ui/AboutBox.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

// Not modal-blocking: the message may come during start-up or while the
// window is being raised for a second start.
void showOpenFailure(QWidget* parent, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, captions::kProgram, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("msgOpenFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace

void TfrmMain::OpenUserRinging(const QString& path) {
    if (!mayReplaceRinging()) {
        return;
    }
    // A name that is not UTF-8 is read through the file opened by its bytes;
    // messages show it with those bytes replaced.
    const LocalFileAccess access(path);
    const QString shown = displayedFileName(path);
    // A file that is not a ringing changes nothing: checked whole before the
    // ensemble, the settings or the score are touched. The one reader of
    // ringing files applies the size limits before anything is read whole,
    // and the check sees the lines as the load will.
    const RingingFileLines read =
        access.path().isEmpty() ? RingingFileLines{} : readRingingFileLines(access.path());
    RingingReadFailure failure = read.failure;
    bool readable = read.lines.has_value();
    if (readable) {
        const RingingRead document = ringingDocumentFromLines(*read.lines, RingingKind::User);
        readable = document.document.has_value();
        failure = document.failure;
    }
    if (!readable) {
        m_ringingLoader->refuseRinging(shown, failure);
        showOpenFailure(this, ringingFailureMessage(shown, failure));
        return;
    }
    if (!looksLikeUserRinging(*read.lines) || !loader().openUserRingingText(access.path())) {
        showOpenFailure(this, notARingingMessage(shown));
        return;
    }
    loader().showWholeRingingPages();
    // Editing it later saves back to this file.
    m_ringingFile = access.path() == path ? path : QString();
    EndRecording();
    btnPlayClick();
}

void TfrmMain::nFileOpenClick() {
    // Ringing files are the user's own: the chooser starts in the documents
    // folder, not in the program's.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть"), folder,
                                                      QStringLiteral("Файлы колокольных звонов (*.ukl)"));
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        OpenUserRinging(path);
    }
}

void TfrmMain::openCommandLineFile() {
    const std::optional<QString> path = fileNamedByArguments(m_arguments);
    if (path) {
        OpenUserRinging(*path);
    }
}

TAboutBox* TfrmMain::aboutBox() {
    if (!m_aboutBox) {
        m_aboutBox =
            new TAboutBox((m_paths ? m_paths->imagesDir() : m_programDir + QStringLiteral("/Images/")) +
                              QStringLiteral("splash.jpg"),
                          this);
    }
    return m_aboutBox;
}

void TfrmMain::nAboutClick() {
    aboutBox()->showCentred();
}
