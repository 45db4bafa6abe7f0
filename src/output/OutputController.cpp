#include "output/OutputController.h"

#include "output/HtmlExport.h"
#include "output/HtmlExportDialog.h"
#include "output/KeyboardRingingPause.h"
#include "output/OutputHost.h"
#include "output/ScorePrinting.h"
#include "output/SoundExport.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>

#include <utility>

OutputController::OutputController(OutputHost& host)
    : QObject(host.window()), m_host(host), m_printing(std::make_unique<ScorePrinting>(host)),
      m_htmlExport(new HtmlExport(host, this)), m_soundExport(new SoundExport(host, this)) {
    connect(m_htmlExport, &HtmlExport::ringingStarted, this, &OutputController::showExportProgress);
    connect(m_htmlExport, &HtmlExport::soundProgress, this, &OutputController::showSoundProgress);
    connect(m_htmlExport, &HtmlExport::finished, this, &OutputController::exportFinished);
}

OutputController::~OutputController() = default;

bool OutputController::isExportMode(const QStringList& arguments) {
    return !arguments.isEmpty() && arguments.first() == QLatin1String("html");
}

void OutputController::nPrintClick() {
    m_printing->nPrintClick();
}

void OutputController::exportHtml(const QStringList& arguments) {
    HtmlExportOptions options;
    options.withSound = !arguments.mid(1).contains(kNoSoundFlag);
    m_htmlExport->start(options);
}

void OutputController::nExportHtmlClick() {
    if (m_htmlExport->isRunning()) {
        return;
    }
    HtmlExportOptions options;
    {
        const KeyboardRingingPause typing(m_host);
        HtmlExportDialog dialog(m_exportFolder.isEmpty() ? m_host.htmlDir() : m_exportFolder,
                                m_host.commonScore().isEmpty() ? QString() : m_host.ringingName(),
                                m_host.window());
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        options = dialog.options();
    }
    m_exportFolder = options.folder;
    m_exportDialog = new QProgressDialog(QStringLiteral("Экспорт в HTML"), QStringLiteral("Отмена"), 0, 1,
                                         m_host.window());
    m_exportDialog->setObjectName(QStringLiteral("dlgExportHtmlProgress"));
    m_exportDialog->setWindowTitle(QStringLiteral("Экспорт в HTML"));
    m_exportDialog->setWindowModality(Qt::WindowModal);
    m_exportDialog->setMinimumDuration(0);
    m_exportDialog->setAutoClose(false);
    m_exportDialog->setAutoReset(false);
    connect(m_exportDialog, &QProgressDialog::canceled, m_htmlExport, &HtmlExport::cancel);
    m_exportDialog->setValue(0);
    m_htmlExport->start(options);
}

void OutputController::nSaveSoundClick() {
    m_soundExport->nSaveSoundClick();
}

void OutputController::showExportProgress(const QString& name, int ringing, int count) {
    if (m_exportDialog) {
        m_exportDialog->setLabelText(
            QStringLiteral("Экспорт в HTML: %1 (%2 из %3)").arg(name).arg(ringing).arg(count));
        m_exportRinging = ringing;
        m_exportDialog->setRange(0, count * kRingingSteps);
        m_exportDialog->setValue((ringing - 1) * kRingingSteps);
        return;
    }
    if (!m_exportProgress) {
        m_exportLabel = new QLabel(m_host.window());
        m_exportLabel->setObjectName(QStringLiteral("lblExport"));
        m_exportProgress = new QProgressBar(m_host.window());
        m_exportProgress->setObjectName(QStringLiteral("pbExport"));
        m_exportProgress->setMaximumWidth(240);
        m_host.addStatusWidget(m_exportLabel);
        m_host.addStatusWidget(m_exportProgress);
    }
    m_exportLabel->setText(QStringLiteral("Экспорт в HTML: %1").arg(name));
    // The bar counts the ringing being written, so that "3 из 23" is shown
    // while ringing 3 is, and the last one reaches "23 из 23".
    m_exportProgress->setRange(0, count);
    m_exportProgress->setValue(ringing);
    m_exportProgress->setFormat(QStringLiteral("%v из %m"));
    m_exportLabel->show();
    m_exportProgress->show();
}

void OutputController::hideExportProgress() {
    if (m_exportProgress) {
        m_exportLabel->hide();
        m_exportProgress->hide();
    }
}

void OutputController::showSoundProgress(int done, int total) {
    if (m_exportDialog && total > 0) {
        // The bar moves through the ringing while its sound is finished.
        m_exportDialog->setValue((m_exportRinging - 1) * kRingingSteps + done * kRingingSteps / total);
    }
}

void OutputController::exportFinished(bool completed) {
    hideExportProgress();
    if (QProgressDialog* dialog = std::exchange(m_exportDialog, nullptr)) {
        dialog->deleteLater();
        dialog->hide();
        if (completed) {
            QString text =
                QStringLiteral("Экспорт в HTML завершен: %1")
                    .arg(QDir::toNativeSeparators(m_htmlExport->folder() + QStringLiteral("/index.html")));
            if (m_htmlExport->ringingsWithoutSound() > 0) {
                text += QStringLiteral(" (без звука: %1)").arg(m_htmlExport->ringingsWithoutSound());
            }
            m_host.showStatusMessage(text);
        } else if (!m_htmlExport->wasCancelled()) {
            // Told where the user asked for it, as well as in the status bar.
            QMessageBox::warning(m_host.window(), QStringLiteral("Экспорт в HTML"), m_htmlExport->report());
        }
    }
}
