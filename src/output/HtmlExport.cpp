#include "output/HtmlExport.h"

#include "app/TfrmMain.h"
#include "base/AtomicFile.h"
#include "output/HtmlPages.h"
#include "ui/JpegCodec.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace {

// A plain tile when the installation has no background picture, so that the
// pages still name one that exists.
QByteArray plainBackground() {
    QImage tile(64, 64, QImage::Format_RGB32);
    tile.fill(QColor(0xF4, 0xEC, 0xD8));
    return jpeg::encode(tile, 80).value_or(QByteArray());
}

QByteArray backgroundPicture(const TfrmMain& window) {
    QFile file(window.paths().imagesDir() + QStringLiteral("bk.jpg"));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (!bytes.isEmpty()) {
            return bytes;
        }
    }
    return plainBackground();
}

} // namespace

HtmlExport::HtmlExport(TfrmMain& window, QObject* parent) : QObject(parent), m_window(window) {}

void HtmlExport::start() {
    if (m_running) {
        return;
    }
    m_running = true;
    m_pagesWritten = 0;
    m_window.nSelectAllClick();
    m_names.clear();
    for (int k = 1; k < m_window.cbCommon->count(); ++k) {
        m_names << m_window.cbCommon->itemText(k);
    }
    m_folder = m_window.paths().htmlDir();
    m_background = backgroundPicture(m_window);
    if (!QDir().mkpath(m_folder) || !writeFile(m_folder + QStringLiteral("/bk.jpg"), m_background) ||
        !writeFile(m_folder + QStringLiteral("/index.html"),
                   htmlpages::encodePage(htmlpages::indexPage(m_names)))) {
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
        try {
            step();
        } catch (...) {
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
    QComboBox* common = m_window.cbCommon;
    // The list may have changed under a running export (bells chosen in the
    // meantime): item k would then be another ringing.
    if (m_ringing >= common->count() || common->itemText(m_ringing) != m_names.at(m_ringing - 1)) {
        return false;
    }
    emit ringingStarted(m_names.at(m_ringing - 1), m_ringing, static_cast<int>(m_names.size()));
    common->setCurrentIndex(m_ringing);
    m_window.cbCommonChange();
    m_pageCount = m_window.udPage->max();
    m_score = scoreSnapshot(m_window);
    if (!QDir().mkpath(ringingFolder()) ||
        !writeFile(ringingFolder() + QStringLiteral("/bk.jpg"), m_background)) {
        return false;
    }
    m_page = 1;
    return true;
}

bool HtmlExport::writePage() {
    m_window.udPage->setPosition(m_page);
    m_window.udPageClick();
    const QFrame* staves[3] = {m_window.pnlSmallBells, m_window.pnlMiddleBells, m_window.pnlBigBells};
    const bool odd = m_page % 2 == 1;
    for (int g = 0; g < 3; ++g) {
        const QSize size = staves[g]->contentsRect().size();
        QImage image = scoreGroupImage(m_score, g, m_page - 1, size);
        if (odd) {
            image = image.copy(0, 0, std::max(1, size.width() - 1), size.height());
        }
        const std::optional<QByteArray> bytes = jpeg::encode(image, kJpegQuality);
        if (!bytes || !writeFile(ringingFolder() + u'/' + htmlpages::pageImageName(m_page, g), *bytes)) {
            return false;
        }
    }
    if (odd && !writeFile(ringingFolder() + u'/' + htmlpages::scorePageName(m_page),
                          htmlpages::encodePage(
                              htmlpages::scorePage(m_names.at(m_ringing - 1), m_page, m_pageCount)))) {
        return false;
    }
    ++m_pagesWritten;
    return true;
}

void HtmlExport::finish(bool completed) {
    if (completed) {
        m_window.cbCommon->setCurrentIndex(0);
        if (m_window.cbFullCommon->count() > 0) {
            m_window.cbFullCommon->setCurrentIndex(0);
        }
        m_window.cbCommonChange();
    }
    m_running = false;
    emit finished(completed);
}

bool HtmlExport::writeFile(const QString& path, const QByteArray& bytes) {
    return writeFileAtomically(path, bytes);
}
