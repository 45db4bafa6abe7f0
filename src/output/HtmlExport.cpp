#include "output/HtmlExport.h"

#include "base/AtomicFile.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "output/HtmlPages.h"
#include "output/OutputHost.h"
#include "output/RenderWorker.h"
#include "output/SoundExport.h"
#include "playback/RenderLimits.h"
#include "ui/JpegCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

HtmlExport::HtmlExport(OutputHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_sound(std::make_unique<RenderWorker>()),
      m_maxSoundMinutes(kDefaultMaxRenderMinutes) {}

HtmlExport::~HtmlExport() = default;

void HtmlExport::start(const HtmlExportOptions& options) {
    if (m_running) {
        return;
    }
    m_running = true;
    m_cancelled = false;
    m_options = options;
    m_pagesWritten = 0;
    m_withoutSound = 0;
    m_failedPath.clear();
    m_failure.clear();
    m_report.clear();
    m_ringing = 0;
    const int chosen = m_host.chosenCommonRinging();
    m_previousChoice = chosen > 0 ? m_host.commonRingingName(chosen) : QString();
    m_previousPage = m_host.currentPage();
    m_names.clear();
    if (options.ringings == HtmlExportOptions::Ringings::Loaded) {
        if (!m_host.commonScore().isEmpty()) {
            const QString name = m_host.ringingName();
            m_names << (name.isEmpty() ? QStringLiteral("Звон") : name);
        }
    } else {
        if (options.ringings == HtmlExportOptions::Ringings::Library) {
            m_host.selectAllBells();
        }
        for (int k = 1; k < m_host.commonRingingCount(); ++k) {
            m_names << m_host.commonRingingName(k);
        }
    }
    m_folder = options.folder.isEmpty() ? m_host.htmlDir() : options.folder;
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

void HtmlExport::cancel() {
    if (m_running) {
        m_cancelled = true;
        m_sound->cancel();
    }
}

void HtmlExport::scheduleStep(int delayMs) {
    // A zero timer lets the window handle what is pending before the next page.
    QTimer::singleShot(delayMs, this, [this] {
        if (!guarded(lcOutput, "html export step", [this] { step(); })) {
            finish(false);
        }
    });
}

void HtmlExport::step() {
    if (!m_running) {
        return;
    }
    if (m_cancelled) {
        finishCancelled();
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
    // A ringing without pages still gets page 1.
    if (m_page <= std::max(1, m_pageCount)) {
        if (!writePage()) {
            finish(false);
            return;
        }
        ++m_page;
        scheduleStep();
        return;
    }
    // The pages are written; the next ringing waits for this one's sound.
    if (m_sound->isRunning() && !m_sound->isDone()) {
        emit soundProgress(m_sound->columnsDone(), m_sound->columns());
        scheduleStep(20);
        return;
    }
    if (!endSound()) {
        finish(false);
        return;
    }
    ++m_ringing;
    m_page = 0;
    scheduleStep();
}

QString HtmlExport::ringingFolder() const {
    return m_folder + u'/' + QString::number(m_ringing);
}

bool HtmlExport::beginRinging() {
    const QString& name = m_names.at(m_ringing - 1);
    if (m_options.ringings != HtmlExportOptions::Ringings::Loaded) {
        // The list may have changed under a running export (bells chosen in
        // the meantime): item k would then be another ringing.
        if (m_ringing >= m_host.commonRingingCount() || m_host.commonRingingName(m_ringing) != name) {
            qCWarning(lcOutput) << "html export: the common list changed under the export at ringing"
                                << m_ringing << name;
            m_failure = QStringLiteral("список звонов изменился");
            return false;
        }
        emit ringingStarted(name, m_ringing, static_cast<int>(m_names.size()));
        m_host.chooseCommonRinging(m_ringing);
    } else {
        emit ringingStarted(name, m_ringing, static_cast<int>(m_names.size()));
    }
    m_pageCount = m_host.pageCount();
    m_score = scoreSnapshot(m_host);
    m_columns = static_cast<int>(m_host.commonScore().size());
    m_intervalMs = m_host.columnInterval();
    if (!makeFolder(ringingFolder(), "making the ringing's folder") ||
        !writeFile(ringingFolder() + QStringLiteral("/bk.jpg"), m_background,
                   "writing the ringing's background")) {
        return false;
    }
    if (m_options.withSound && !beginSound()) {
        return false;
    }
    m_page = 1;
    return true;
}

bool HtmlExport::beginSound() {
    const QString path = ringingFolder() + u'/' + htmlplayer::kSoundFile;
    // A sound left by an earlier export may be another ringing's: the pages
    // must find this ringing's sound or none.
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        qCWarning(lcOutput) << "html export: cannot remove the earlier sound" << path;
        m_failedPath = path;
        return false;
    }
    m_soundNote.clear();
    QString error;
    std::optional<RenderJob> job = soundJobFor(m_host, path, &error, true);
    const RenderCheck check =
        job ? checkRenderLimits(*job, m_maxSoundMinutes, freeSpaceFor(path)) : RenderCheck{};
    if (!job) {
        m_soundNote = QStringLiteral("Звук не записан: %1").arg(error);
    } else if (check.limit == RenderLimit::TooLong) {
        const QString limit = m_maxSoundMinutes % 60 == 0
                                  ? QStringLiteral("%1 ч.").arg(m_maxSoundMinutes / 60)
                                  : QStringLiteral("%1 мин.").arg(m_maxSoundMinutes);
        m_soundNote = QStringLiteral("Звук не записан: звон длится %1, а со звуком выгружаются звоны "
                                     "не длиннее %2")
                          .arg(renderLengthText(check.size.ringingSeconds), limit);
    } else if (check.limit != RenderLimit::Fits) {
        qCWarning(lcOutput) << "html export: no room for the sound" << path << check.size.bytes << "bytes,"
                            << check.freeBytes << "free";
        m_failedPath = path;
        return false;
    }
    if (!m_soundNote.isEmpty()) {
        qCWarning(lcOutput) << "html export: ringing" << m_ringing << "without sound:" << m_soundNote;
        ++m_withoutSound;
        return true;
    }
    m_sound->start(std::move(*job));
    return true;
}

bool HtmlExport::endSound() {
    if (!m_sound->isRunning()) {
        return true;
    }
    const RenderResult result = m_sound->finish();
    if (result.ok || result.cancelled) {
        return true;
    }
    qCWarning(lcOutput) << "html export: writing the sound failed:" << result.error;
    m_failedPath = ringingFolder() + u'/' + htmlplayer::kSoundFile;
    return false;
}

htmlplayer::Player HtmlExport::player() const {
    htmlplayer::Player player;
    player.sound = m_soundNote.isEmpty() ? htmlplayer::kSoundFile : QString();
    player.note = m_soundNote;
    player.intervalMs = m_intervalMs;
    player.columns = m_columns;
    player.page = m_page;
    for (int g = 0; g < kGroupCount; ++g) {
        player.bars[static_cast<std::size_t>(g)] =
            htmlplayer::cursorBar(m_host.staff(groupAt(g))->contentsRect().height());
    }
    const QSize small = m_host.staff(BellGroup::Small)->contentsRect().size();
    for (int p = m_page; p <= std::min(m_page + 1, m_pageCount); ++p) {
        player.pages.push_back({p, htmlplayer::pageCursorPlaces(p, m_columns, small)});
    }
    return player;
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
    if (odd) {
        const QString player = m_options.withSound ? htmlplayer::playerBlock(this->player()) : QString();
        if (!writeFile(ringingFolder() + u'/' + htmlpages::scorePageName(m_page),
                       htmlpages::encodePage(
                           htmlpages::scorePage(m_names.at(m_ringing - 1), m_page, m_pageCount, player)),
                       "writing a score page")) {
            return false;
        }
    }
    ++m_pagesWritten;
    return true;
}

void HtmlExport::finish(bool completed) {
    m_sound->cancel();
    m_sound->finish();
    if (completed) {
        restoreOrClearChoice();
    } else {
        reportFailure();
    }
    m_running = false;
    emit finished(completed);
}

void HtmlExport::finishCancelled() {
    m_sound->cancel();
    m_sound->finish();
    // The index keeps only the ringings written whole, so that every link of
    // the site leads to a page that is there.
    const int written = std::max(0, m_ringing - 1);
    if (!writeFile(m_folder + QStringLiteral("/index.html"),
                   htmlpages::encodePage(htmlpages::indexPage(m_names.mid(0, written))),
                   "writing the index of a cancelled export")) {
        qCWarning(lcOutput) << "html export: the index still lists ringings the cancel left unwritten";
    }
    restoreOrClearChoice();
    m_report =
        QStringLiteral("Экспорт в HTML отменен. Записано звонов: %1 из %2.").arg(written).arg(m_names.size());
    m_host.showStatusMessage(m_report);
    m_running = false;
    emit finished(false);
}

void HtmlExport::restoreOrClearChoice() {
    if (m_options.ringings == HtmlExportOptions::Ringings::Loaded) {
        // Nothing was chosen; the page shown comes back.
        if (m_previousPage >= 0 && m_previousPage < m_host.pageCount()) {
            m_host.showPage(m_previousPage + 1);
        }
        return;
    }
    if (m_options.restoreChoice && !m_previousChoice.isEmpty()) {
        for (int k = 1; k < m_host.commonRingingCount(); ++k) {
            if (m_host.commonRingingName(k) == m_previousChoice) {
                m_host.chooseCommonRinging(k);
                return;
            }
        }
    }
    m_host.clearCommonChoice();
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
    m_report = QStringLiteral("Экспорт в HTML прерван: %1. Записано звонов: %2 из %3.")
                   .arg(why)
                   .arg(written)
                   .arg(m_names.size());
    m_host.showStatusMessage(m_report);
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
