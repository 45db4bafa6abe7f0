#include "output/OutputController.h"

#include "output/HtmlExport.h"
#include "output/OutputHost.h"
#include "output/ScorePrinting.h"
#include "output/SoundExport.h"

#include <QLabel>
#include <QProgressBar>

OutputController::OutputController(OutputHost& host)
    : QObject(host.window()), m_host(host), m_printing(std::make_unique<ScorePrinting>(host)),
      m_htmlExport(new HtmlExport(host, this)), m_soundExport(new SoundExport(host, this)) {
    connect(m_htmlExport, &HtmlExport::ringingStarted, this, &OutputController::showExportProgress);
    connect(m_htmlExport, &HtmlExport::finished, this, &OutputController::hideExportProgress);
}

OutputController::~OutputController() = default;

bool OutputController::isExportMode(const QStringList& arguments) {
    return !arguments.isEmpty() && arguments.first() == QLatin1String("html");
}

void OutputController::nPrintClick() {
    m_printing->nPrintClick();
}

void OutputController::exportHtml() {
    m_htmlExport->start();
}

void OutputController::nSaveSoundClick() {
    m_soundExport->nSaveSoundClick();
}

void OutputController::showExportProgress(const QString& name, int ringing, int count) {
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
