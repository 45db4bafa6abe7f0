// Speaks the text of a lesson voice with espeak-ng's Russian voice and writes
// it as an MP3 file through libsndfile.
//
//   voicegen --text <voice.txt> --out <voice.mp3> [--espeak <program>]
//
// The speech is levelled to a peak of -1 dBFS and converted to 48 kHz (the
// program's output rate, so that playing it needs no conversion). The MP3 is
// written whole or not at all. Exit status 0 on success, 2 for bad arguments,
// 1 otherwise.

#include "Pronunciation.h"
#include "SpokenText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

constexpr int kOutputRate = 48000;
constexpr float kPeak = 0.89f; // -1 dBFS
// espeak-ng's words per minute: slower than its default, for learners.
constexpr int kWordsPerMinute = 135;

bool readMono(const QString& path, std::vector<float>& frames, int& rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        return false;
    }
    std::vector<float> chunk(static_cast<std::size_t>(4096 * info.channels));
    sf_count_t got = 0;
    while ((got = sf_readf_float(file, chunk.data(), 4096)) > 0) {
        for (sf_count_t f = 0; f < got; ++f) {
            frames.push_back(chunk[static_cast<std::size_t>(f * info.channels)]);
        }
    }
    rate = info.samplerate;
    sf_close(file);
    return !frames.empty() && rate > 0;
}

std::vector<float> toOutputRate(const std::vector<float>& in, int rate) {
    if (rate == kOutputRate) {
        return in;
    }
    const double ratio = static_cast<double>(kOutputRate) / rate;
    std::vector<float> out(static_cast<std::size_t>(std::ceil(static_cast<double>(in.size()) * ratio)) + 64);
    SRC_DATA job{};
    job.data_in = in.data();
    job.input_frames = static_cast<long>(in.size());
    job.data_out = out.data();
    job.output_frames = static_cast<long>(out.size());
    job.src_ratio = ratio;
    job.end_of_input = 1;
    if (src_simple(&job, SRC_SINC_MEDIUM_QUALITY, 1) != 0) {
        return {};
    }
    out.resize(static_cast<std::size_t>(job.output_frames_gen));
    return out;
}

bool writeMp3(const QString& path, const std::vector<float>& frames, std::string& error) {
    const std::filesystem::path target(QFile::encodeName(path).toStdString());
    const std::filesystem::path part = target.string() + ".part";
    SF_INFO info{};
    info.samplerate = kOutputRate;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* file = sf_open(part.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = std::string("this libsndfile cannot write MP3: ") + sf_strerror(nullptr);
        return false;
    }
    // Speech needs far less than music: a variable rate around 64 kbit/s.
    int mode = SF_BITRATE_MODE_VARIABLE;
    sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof(mode));
    double level = 0.6;
    sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
    const auto count = static_cast<sf_count_t>(frames.size());
    const bool written = sf_writef_float(file, frames.data(), count) == count;
    const bool closed = sf_close(file) == 0;
    std::error_code ec;
    if (!written || !closed) {
        error = "writing the MP3 failed";
        std::filesystem::remove(part, ec);
        return false;
    }
    std::filesystem::rename(part, target, ec);
    if (ec) {
        error = ec.message();
        std::filesystem::remove(part, ec);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Speaks a lesson voice into an MP3 file."));
    parser.addHelpOption();
    const QCommandLineOption textOption(QStringLiteral("text"), QStringLiteral("UTF-8 text of the voice."),
                                        QStringLiteral("file"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("MP3 file to write."),
                                       QStringLiteral("file"));
    const QCommandLineOption espeakOption(QStringLiteral("espeak"), QStringLiteral("The espeak-ng program."),
                                          QStringLiteral("program"), QStringLiteral("espeak-ng"));
    parser.addOptions({textOption, outOption, espeakOption});
    parser.process(app);
    if (!parser.isSet(textOption) || !parser.isSet(outOption)) {
        std::fprintf(stderr, "voicegen: --text and --out are needed\n");
        return 2;
    }

    QFile source(parser.value(textOption));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "voicegen: %s: %s\n", qPrintable(source.fileName()),
                     qPrintable(source.errorString()));
        return 1;
    }
    const QString text = QString::fromUtf8(source.readAll());
    // A word the voice says wrongly must be written in its corrected form,
    // or the lesson would teach the wrong stress.
    const QStringList uncorrected = uncorrectedWords(spokenParagraphs(text).join(QLatin1Char('\n')));
    if (!uncorrected.isEmpty()) {
        std::fprintf(stderr,
                     "voicegen: %s: write these words with their stress mark (see Pronunciation.cpp): %s\n",
                     qPrintable(source.fileName()), qPrintable(uncorrected.join(QStringLiteral(", "))));
        return 1;
    }
    const QString ssml = spokenSsml(text);

    QTemporaryDir work;
    const QString ssmlPath = work.filePath(QStringLiteral("voice.ssml"));
    const QString wavPath = work.filePath(QStringLiteral("voice.wav"));
    {
        QFile file(ssmlPath);
        if (!work.isValid() || !file.open(QIODevice::WriteOnly) || file.write(ssml.toUtf8()) < 0) {
            std::fprintf(stderr, "voicegen: no room for the work files\n");
            return 1;
        }
    }
    QProcess espeak;
    espeak.start(parser.value(espeakOption),
                 {QStringLiteral("-v"), QStringLiteral("ru"), QStringLiteral("-s"),
                  QString::number(kWordsPerMinute), QStringLiteral("-m"), QStringLiteral("-w"), wavPath,
                  QStringLiteral("-f"), ssmlPath});
    if (!espeak.waitForFinished(600000) || espeak.exitStatus() != QProcess::NormalExit ||
        espeak.exitCode() != 0) {
        std::fprintf(
            stderr, "voicegen: %s failed: %s\n", qPrintable(parser.value(espeakOption)),
            qPrintable(QString::fromLocal8Bit(espeak.readAllStandardError()) + espeak.errorString()));
        return 1;
    }

    std::vector<float> speech;
    int rate = 0;
    if (!readMono(wavPath, speech, rate)) {
        std::fprintf(stderr, "voicegen: the synthesizer wrote no speech\n");
        return 1;
    }
    std::vector<float> frames = toOutputRate(speech, rate);
    float peak = 0.0f;
    for (float v : frames) {
        peak = std::max(peak, std::fabs(v));
    }
    if (peak <= 0.0f) {
        std::fprintf(stderr, "voicegen: the speech is silent\n");
        return 1;
    }
    for (float& v : frames) {
        v *= kPeak / peak;
    }
    std::string error;
    if (!writeMp3(parser.value(outOption), frames, error)) {
        std::fprintf(stderr, "voicegen: %s: %s\n", qPrintable(parser.value(outOption)), error.c_str());
        return 1;
    }
    const int seconds = static_cast<int>(frames.size() / kOutputRate);
    std::printf("voicegen: %s: %d min %02d s\n", qPrintable(parser.value(outOption)), seconds / 60,
                seconds % 60);
    return 0;
}
