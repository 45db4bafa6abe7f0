#include "output/SoundExport.h"

#include "base/Logging.h"
#include "bells/Ensemble.h"
#include "output/KeyboardRingingPause.h"
#include "output/OutputHost.h"
#include "playback/ColumnStrikes.h"
#include "playback/RenderLimits.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSet>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <utility>

namespace {

const QString kTitle = QStringLiteral("Сохранить как звук");
const QString kWavFilter = QStringLiteral("Звук WAV (*.wav)");
const QString kFlacFilter = QStringLiteral("Звук FLAC (*.flac)");

// Longest file name the file systems take, in bytes of the file name encoding.
constexpr qsizetype kMaxNameBytes = 255;

bool isFlac(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("flac"), Qt::CaseInsensitive) == 0;
}

// `name` cut, at a character boundary, to at most `bytes` bytes on disk.
QString cutToBytes(const QString& name, qsizetype bytes) {
    QString cut = name;
    while (QFile::encodeName(cut).size() > bytes) {
        cut.chop(cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1);
    }
    return cut;
}

// Why a sound file could not be written, in the user's words.
QString systemReason(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("такой папки нет");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет права записи в эту папку");
    case EROFS:
        return QStringLiteral("диск доступен только для чтения");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("на диске не хватает места");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case EISDIR:
        return QStringLiteral("под этим именем уже есть папка");
    default:
        return QStringLiteral("файл не удалось записать");
    }
}

QString megabytes(std::int64_t bytes) {
    return QString::number((bytes + 999999) / 1000000);
}

// Why a render may not start, or an empty text when it may.
QString limitText(const RenderCheck& check) {
    switch (check.limit) {
    case RenderLimit::Fits:
        return {};
    case RenderLimit::TooLong:
        return QStringLiteral("Звон длится %1, а сохранить как звук можно не больше %2 ч.")
            .arg(renderLengthText(check.size.ringingSeconds))
            .arg(kDefaultMaxRenderMinutes / 60);
    case RenderLimit::TooLargeForWav:
        return QStringLiteral("Файл WAV был бы больше 4 ГБ (около %1 МБ): сохраните звон в формате FLAC.")
            .arg(megabytes(check.size.bytes));
    case RenderLimit::NoSpace:
        return QStringLiteral("Для файла нужно около %1 МБ, а на диске свободно только %2 МБ.")
            .arg(megabytes(check.size.bytes), megabytes(check.freeBytes));
    }
    return {};
}

} // namespace

SoundExport::SoundExport(OutputHost& host, QObject* parent) : QObject(parent), m_host(host) {}

SoundExport::~SoundExport() = default; // the worker cancels and waits

QString SoundExport::suggestedFileName() const {
    QString name = m_host.ringingName();
    if (name.isEmpty()) {
        name = QStringLiteral("Звон");
    }
    for (const QChar bad : {u'/', u'\\', u':', u'*', u'?', u'"', u'<', u'>', u'|'}) {
        name.replace(bad, u'_');
    }
    // A name too long for the disk would leave the save dialog's button
    // disabled without a word; room is kept for the longer ".flac".
    return cutToBytes(name, kMaxNameBytes - 5) + QStringLiteral(".wav");
}

std::optional<RenderJob> SoundExport::jobFor(const QString& path, QString* error) const {
    return soundJobFor(m_host, path, error);
}

std::optional<RenderJob> soundJobFor(const OutputHost& host, const QString& path, QString* error,
                                     bool everyGroup) {
    RenderJob job;
    job.columns = host.commonScore();
    if (job.columns.isEmpty()) {
        *error = QStringLiteral("Звон не выбран: выберите звон, который нужно сохранить.");
        return std::nullopt;
    }
    job.ensemble = host.ensemble();
    job.intervalMs = host.columnInterval();
    job.sampleFolder = host.sampleFolder();
    for (int bell = 0; bell < kBellCount; ++bell) {
        job.sampleFiles[static_cast<std::size_t>(bell)] = host.bellSampleFileName(bell);
    }
    if (!everyGroup) {
        job.switches.groupSounds = {host.groupSounds(BellGroup::Small), host.groupSounds(BellGroup::Middle),
                                    host.groupSounds(BellGroup::Big)};
    }
    job.outputPath = path;
    job.format = isFlac(path) ? audio::OfflineRenderer::Format::Flac16
                 : QFileInfo(path).suffix().compare(QStringLiteral("mp3"), Qt::CaseInsensitive) == 0
                     ? audio::OfflineRenderer::Format::Mp3
                     : audio::OfflineRenderer::Format::Pcm16;
    // A render with silent gaps would pass for a good one: every sample the
    // ringing strikes must be there.
    QSet<QString> checked;
    const auto sampleFile = [&job](int bell) { return job.sampleFiles[static_cast<std::size_t>(bell)]; };
    for (const QString& column : job.columns) {
        for (const QString& sample :
             ColumnSampleFiles(column, job.ensemble, job.switches, job.sampleFolder, sampleFile)
                 .sampleFiles) {
            if (!checked.contains(sample)) {
                checked.insert(sample);
                if (!QFileInfo(sample).isFile()) {
                    *error = QStringLiteral("Нет файла звука колокола: %1").arg(sample);
                    return std::nullopt;
                }
            }
        }
    }
    return job;
}

void SoundExport::nSaveSoundClick() {
    if (isRunning()) {
        return;
    }
    const KeyboardRingingPause typing(m_host);
    QString error;
    if (!jobFor(QString(), &error)) {
        QMessageBox::information(m_host.window(), kTitle, error);
        return;
    }
    if (m_lastFolder.isEmpty()) {
        m_lastFolder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        if (m_lastFolder.isEmpty() || !QFileInfo(m_lastFolder).isDir()) {
            m_lastFolder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
        }
    }
    QString filter = kWavFilter;
    QString path =
        QFileDialog::getSaveFileName(m_host.window(), kTitle, m_lastFolder + u'/' + suggestedFileName(),
                                     kWavFilter + QStringLiteral(";;") + kFlacFilter, &filter);
    if (path.isEmpty()) {
        return;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("wav") && suffix != QStringLiteral("flac")) {
        path += filter == kFlacFilter ? QStringLiteral(".flac") : QStringLiteral(".wav");
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    if (!start(path, &error)) {
        QMessageBox::warning(m_host.window(), kTitle, error);
        return;
    }
    m_fromMenu = true;
}

bool SoundExport::start(const QString& path, QString* error) {
    if (isRunning()) {
        *error = QStringLiteral("Сохранение звука уже идет.");
        return false;
    }
    std::optional<RenderJob> job = jobFor(path, error);
    if (!job) {
        return false;
    }
    const RenderCheck check = checkRenderLimits(*job, kDefaultMaxRenderMinutes, freeSpaceFor(path));
    if (check.limit != RenderLimit::Fits) {
        *error = limitText(check);
        return false;
    }
    const int columns = static_cast<int>(job->columns.size());
    m_path = path;
    m_worker.start(std::move(*job));

    m_dialog = new QProgressDialog(QStringLiteral("Сохранение звука: %1").arg(QFileInfo(path).fileName()),
                                   QStringLiteral("Отмена"), 0, columns, m_host.window());
    m_dialog->setObjectName(QStringLiteral("dlgSaveSound"));
    m_dialog->setWindowTitle(kTitle);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(300);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    connect(m_dialog, &QProgressDialog::canceled, this, &SoundExport::cancel);
    m_poll = new QTimer(this);
    m_poll->setInterval(40);
    connect(m_poll, &QTimer::timeout, this, &SoundExport::poll);
    m_poll->start();
    return true;
}

void SoundExport::cancel() {
    m_worker.cancel();
}

void SoundExport::poll() {
    if (!m_worker.isRunning()) {
        return;
    }
    if (m_dialog) {
        m_dialog->setValue(m_worker.columnsDone());
    }
    if (m_worker.isDone()) {
        finishRun();
    }
}

void SoundExport::finishRun() {
    const RenderResult result = m_worker.finish();
    m_poll->stop();
    m_poll->deleteLater();
    m_poll = nullptr;
    // Deleted now, not later: the dialog's minimum-duration timer would
    // otherwise fire inside the message box below and show the dialog over it.
    delete std::exchange(m_dialog, nullptr);
    if (!result.ok && !result.cancelled) {
        qCWarning(lcOutput) << "saving as sound failed:" << m_path << result.error;
    }
    const QString error = result.ok || result.cancelled
                              ? QString()
                              : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path),
                                                             systemReason(result.systemError));
    const bool fromMenu = std::exchange(m_fromMenu, false);
    if (fromMenu && result.ok) {
        m_host.showStatusMessage(QStringLiteral("Звук сохранен: %1").arg(QDir::toNativeSeparators(m_path)));
    } else if (fromMenu && !result.cancelled) {
        QMessageBox::warning(m_host.window(), kTitle, QStringLiteral("Звук не сохранен: %1.").arg(error));
    }
    emit finished(result.ok, error);
}
