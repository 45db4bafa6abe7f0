// Opening user ringing files: from the File menu and from the command line.

#include "app/TfrmMain.h"
#include "lessons/CommandLine.h"

#include <QFileDialog>
#include <QFileInfo>

void TfrmMain::OpenUserRinging(const QString& path) {
    // Reads the preamble and body, applies the file's ensemble and loads the
    // body as the common score; a file it cannot read changes nothing.
    if (!openUserRingingText(path)) {
        return;
    }
    showWholeRingingPages();
    EndRecording();
    btnPlayClick();
}

void TfrmMain::nFileOpenClick() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Открыть"), QString(),
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
