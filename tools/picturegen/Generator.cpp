#include "Generator.h"

#include "Artwork.h"
#include "BellPictures.h"
#include "CaptionPictures.h"
#include "Catalogue.h"
#include "ContactSheet.h"
#include "FramePainter.h"
#include "ImageFiles.h"

#include <QDir>
#include <QFile>

namespace generator {

namespace {

// JPEG qualities: the splash and banner are looked at closely; the
// background tile is pale texture where artefacts do not show.
constexpr int kSplashQuality = 92;
constexpr int kBannerQuality = 92;
constexpr int kBackgroundQuality = 80;

class Writer {
public:
    explicit Writer(QString root) : m_root(std::move(root)) {}

    void bmp(const QString& relative, const QImage& image) {
        check(relative, imagefiles::writeBmp(path(relative), image));
    }
    void jpeg(const QString& relative, const QImage& image, int quality) {
        check(relative, imagefiles::writeJpeg(path(relative), image, quality));
    }
    void folder(const QString& relative) {
        if (!QDir().mkpath(path(relative))) {
            m_errors.append(QStringLiteral("cannot create %1").arg(path(relative)));
        }
    }
    QString path(const QString& relative) const { return m_root + QLatin1Char('/') + relative; }

    QStringList m_errors;
    int m_written = 0;

private:
    void check(const QString& relative, bool ok) {
        if (ok) {
            ++m_written;
        } else {
            m_errors.append(QStringLiteral("cannot write %1").arg(path(relative)));
        }
    }
    QString m_root;
};

void writeFrames(Writer& w, const QString& folder, QSize size) {
    for (const frames::SetInfo& set : frames::sets()) {
        for (int f = 0; f < frames::kFramesPerSet; ++f) {
            for (const frames::Style style : {frames::Style::General, frames::Style::Schematic}) {
                w.bmp(folder + frames::fileName(set.key, f, style),
                      frames::renderFrame(set.key, f, style, size));
            }
        }
    }
    w.bmp(folder + QStringLiteral("accord.bmp"), captions::render(captions::Kind::Chords, size));
    w.bmp(folder + QStringLiteral("disable.bmp"), captions::render(captions::Kind::AnimationOff, size));
}

QStringList readSource(const QString& sourcePath, QStringList& lines) {
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read %1").arg(sourcePath)};
    }
    lines = catalogue::sourceLines(QString::fromUtf8(file.readAll()));
    return catalogue::validate(lines);
}

} // namespace

QChar keyLetter(const QString& line) {
    const std::optional<int> code = catalogue::keyCode(line);
    if (code && *code >= 'A' && *code <= 'Z') {
        return QChar(*code);
    }
    return QChar();
}

QStringList generateAll(const QString& catalogueSource, const QString& outDir, int* filesWritten) {
    Writer w(outDir);
    for (const char* folder : {"Data", "Images", "Animate", "BigAnimate"}) {
        w.folder(QString::fromLatin1(folder));
    }
    if (!w.m_errors.isEmpty()) {
        return w.m_errors;
    }
    QStringList lines;
    QStringList errors =
        catalogue::convertSource(catalogueSource, w.path(QStringLiteral("Data/desc.kli")), &lines);
    if (!errors.isEmpty()) {
        return errors;
    }
    ++w.m_written;

    for (int i = 0; i < catalogue::kBellCount; ++i) {
        const QChar key = keyLetter(lines.at(i));
        w.bmp(QStringLiteral("Images/") + catalogue::pictureFileName(i), bellpictures::render(i, key, true));
        w.bmp(QStringLiteral("Images/") + catalogue::pictureOffFileName(i),
              bellpictures::render(i, key, false));
    }
    writeFrames(w, QStringLiteral("Animate/"), frames::kUsualSize);
    writeFrames(w, QStringLiteral("BigAnimate/"), frames::kFullSize);
    w.jpeg(QStringLiteral("Images/splash.jpg"), artwork::renderSplash(), kSplashQuality);
    w.jpeg(QStringLiteral("Images/banner.jpg"), artwork::renderBanner(), kBannerQuality);
    w.jpeg(QStringLiteral("Images/bk.jpg"), artwork::renderBackgroundTile(), kBackgroundQuality);

    if (filesWritten != nullptr) {
        *filesWritten = w.m_written;
    }
    return w.m_errors;
}

QStringList writeContactSheet(const QString& catalogueSource, const QString& pngPath) {
    QStringList lines;
    QStringList errors = readSource(catalogueSource, lines);
    if (!errors.isEmpty()) {
        return errors;
    }
    if (!imagefiles::writePng(pngPath, contactsheet::render(lines))) {
        return {QStringLiteral("cannot write %1").arg(pngPath)};
    }
    return {};
}

} // namespace generator
