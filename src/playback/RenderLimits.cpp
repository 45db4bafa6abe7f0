#include "playback/RenderLimits.h"

#include "base/OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace {

// The RIFF header counts the file's bytes in 32 bits.
constexpr std::int64_t kWavMaxBytes = (std::int64_t{1} << 32) - 1;
constexpr std::int64_t kHeaderBytes = 4096;
constexpr int kChannels = 2;

} // namespace

RenderSize estimateRenderSize(const RenderJob& job) {
    RenderSize size;
    const std::int64_t columnFrames =
        static_cast<std::int64_t>(job.columns.size()) * job.intervalMs * job.sampleRate / 1000;
    size.ringingSeconds = static_cast<double>(job.columns.size()) * job.intervalMs / 1000.0;
    const int ringOut = std::min(kRingOutAllowanceSeconds, job.maxRingOutSeconds);
    size.frames = columnFrames + static_cast<std::int64_t>(ringOut) * job.sampleRate;
    switch (job.format) {
    case audio::OfflineRenderer::Format::Pcm16:
        size.bytes = size.frames * kChannels * 2;
        break;
    case audio::OfflineRenderer::Format::Float32:
        size.bytes = size.frames * kChannels * 4;
        break;
    case audio::OfflineRenderer::Format::Flac16:
        // Half the 16-bit size: bell sound compresses to well under that, and
        // a disk that fills up anyway still ends the render cleanly.
        size.bytes = size.frames * kChannels;
        break;
    case audio::OfflineRenderer::Format::Mp3:
        size.bytes = size.frames * audio::OfflineRenderer::kMp3Kbps * 125 / job.sampleRate;
        break;
    }
    size.bytes += kHeaderBytes;
    return size;
}

RenderCheck checkRenderLimits(const RenderJob& job, int maxMinutes, std::optional<std::int64_t> freeBytes) {
    RenderCheck check;
    check.size = estimateRenderSize(job);
    check.freeBytes = freeBytes.value_or(-1);
    if (check.size.ringingSeconds > static_cast<double>(maxMinutes) * 60.0) {
        check.limit = RenderLimit::TooLong;
    } else if ((job.format == audio::OfflineRenderer::Format::Pcm16 ||
                job.format == audio::OfflineRenderer::Format::Float32) &&
               check.size.bytes > kWavMaxBytes) {
        check.limit = RenderLimit::TooLargeForWav;
    } else if (freeBytes && *freeBytes < check.size.bytes) {
        check.limit = RenderLimit::NoSpace;
    }
    return check;
}

std::optional<std::int64_t> freeSpaceFor(const QString& outputPath) {
    if (outputPath == QStringLiteral("-")) {
        return std::nullopt;
    }
    // The disk that receives the bytes: a link's target's; a device or pipe
    // keeps none of them.
    const OutputTarget target = classifyOutput(QFile::encodeName(outputPath).toStdString());
    if (target.kind != OutputTarget::Kind::File) {
        return std::nullopt;
    }
    const QString folder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(target.path))).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return std::nullopt;
    }
    const QStorageInfo storage(folder);
    if (!storage.isValid() || !storage.isReady()) {
        return std::nullopt;
    }
    return storage.bytesAvailable();
}

QString renderLengthText(double seconds) {
    const auto whole = static_cast<qint64>(seconds + 0.5);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}
