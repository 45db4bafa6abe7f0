#include "output/HtmlExport.h"

#include "base/AtomicFile.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "output/HtmlPages.h"
#include "output/OutputHost.h"
#include "ui/JpegCodec.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWidget>

namespace {

// A plain tile when the installation has no background picture, so that the
// pages still name one that exists.
QByteArray plainBackground() {
    QImage tile(64, 64, QImage::Format_RGB32);
    tile.fill(QColor(0xF4, 0xEC, 0xD8));
    return jpeg::encode(tile, 80).value_or(QByteArray());
}

QByteArray backgroundPicture(const OutputHost& host) {
    const QString path = host.imagesDir() + QStringLiteral("bk.jpg");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (!bytes.isEmpty()) {
            return bytes;
        }
    }
    qCWarning(lcOutput) << "html export: no background picture" << path << "- writing a plain tile";
    return plainBackground();
}

} // namespace

HtmlExport::HtmlExport(OutputHost& host, QObject* parent) : QObject(parent), m_host(host) {}

void HtmlExport::start() {
    if (m_running) {
        return;
    }
    m_running = true;
    m_pagesWritten = 0;
    m_failedPath.clear();
    m_failure.clear();
    m_ringing = 0;
    m_host.selectAllBells();
    m_names.clear();
    for (int k = 1; k < m_host.commonRingingCount(); ++k) {
        m_names << m_host.commonRingingName(k);
    }
    m_folder = m_host.htmlDir();
    m_background = backgroundPicture(m_host);
    if (!makeFolder(m_folder, "making the export folder") ||
        !writeFile(m_folder + QStringLiteral("/bk.jpg"), m_background, "writing the background") ||
        !writeFile(m_folder + QStringLiteral("/index.html"),
                   htmlpages::encodePage(htmlpages::indexPage(m_names)), "writing the index")) {
        finish(false);
        return;
    }
    m_ringing = 1;
    m_page = 0;
    scheduleStep();
}

void HtmlExport::scheduleStep() {
    // A zero timer lets the window handle what is pending before the next page.
    QTimer::singleShot(0, this, [this] {
        if (!guarded(lcOutput, "html export step", [this] { step(); })) {
            finish(false);
        }
    });
}

void HtmlExport::step() {
    if (!m_running) {
        return;
    }
    if (m_ringing > m_names.size()) {
        finish(true);
        return;
    }
    if (m_page == 0 && !beginRinging()) {
        finish(false);
        return;
    }
    if (!writePage()) {
        finish(false);
        return;
    }
    if (++m_page > m_pageCount) {
        ++m_ringing;
        m_page = 0;
    }
    scheduleStep();
}

QString HtmlExport::ringingFolder() const {
    return m_folder + u'/' + QString::number(m_ringing);
}

bool HtmlExport::beginRinging() {
    // The list may have changed under a running export (bells chosen in the
    // meantime): item k would then be another ringing.
    if (m_ringing >= m_host.commonRingingCount() ||
        m_host.commonRingingName(m_ringing) != m_names.at(m_ringing - 1)) {
        qCWarning(lcOutput) << "html export: the common list changed under the export at ringing" << m_ringing
                            << m_names.at(m_ringing - 1);
        m_failure = QStringLiteral("список звонов изменился");
        return false;
    }
    emit ringingStarted(m_names.at(m_ringing - 1), m_ringing, static_cast<int>(m_names.size()));
    m_host.chooseCommonRinging(m_ringing);
    m_pageCount = m_host.pageCount();
    m_score = scoreSnapshot(m_host);
    if (!makeFolder(ringingFolder(), "making the ringing's folder") ||
        !writeFile(ringingFolder() + QStringLiteral("/bk.jpg"), m_background,
                   "writing the ringing's background")) {
        return false;
    }
    m_page = 1;
    return true;
}

bool HtmlExport::writePage() {
    m_host.showPage(m_page);
    const bool odd = m_page % 2 == 1;
    for (int g = 0; g < kGroupCount; ++g) {
        const QSize size = m_host.staff(groupAt(g))->contentsRect().size();
        QImage image = scoreGroupImage(m_score, g, m_page - 1, size);
        if (odd) {
            image = image.copy(0, 0, std::max(1, size.width() - 1), size.height());
        }
        const QString path = ringingFolder() + u'/' + htmlpages::pageImageName(m_page, g);
        const std::optional<QByteArray> bytes = jpeg::encode(image, kJpegQuality);
        if (!bytes) {
            qCWarning(lcOutput) << "html export: cannot encode the picture" << path;
            m_failedPath = path;
            return false;
        }
        if (!writeFile(path, *bytes, "writing a score picture")) {
            return false;
        }
    }
    if (odd && !writeFile(ringingFolder() + u'/' + htmlpages::scorePageName(m_page),
                          htmlpages::encodePage(
                              htmlpages::scorePage(m_names.at(m_ringing - 1), m_page, m_pageCount)),
                          "writing a score page")) {
        return false;
    }
    ++m_pagesWritten;
    return true;
}

void HtmlExport::finish(bool completed) {
    if (completed) {
        m_host.clearCommonChoice();
    } else {
        reportFailure();
    }
    m_running = false;
    emit finished(completed);
}

void HtmlExport::reportFailure() {
    // Ringings before the one being exported were written whole.
    const int written = std::max(0, m_ringing - 1);
    QString why = m_failure;
    if (!m_failedPath.isEmpty()) {
        why = QStringLiteral("не удалось записать %1").arg(QDir::toNativeSeparators(m_failedPath));
    } else if (why.isEmpty()) {
        why = QStringLiteral("внутренняя ошибка");
    }
    m_host.showStatusMessage(QStringLiteral("Экспорт в HTML прерван: %1. Записано звонов: %2 из %3.")
                                 .arg(why)
                                 .arg(written)
                                 .arg(m_names.size()));
}

bool HtmlExport::writeFile(const QString& path, const QByteArray& bytes, const char* step) {
    if (writeFileAtomically(path, bytes)) {
        return true;
    }
    qCWarning(lcOutput) << "html export:" << step << "failed:" << path;
    m_failedPath = path;
    return false;
}

bool HtmlExport::makeFolder(const QString& path, const char* step) {
    if (QDir().mkpath(path)) {
        return true;
    }
    qCWarning(lcOutput) << "html export:" << step << "failed:" << path;
    m_failedPath = path;
    return false;
}
