// Checks of the data the build wrote into the runnable installation.

#include "Artwork.h"
#include "CaptionPictures.h"
#include "Catalogue.h"
#include "FrameSets.h"
#include "ui/JpegCodec.h"
#include "TestImages.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>

namespace {

QString installed(const QString& relative) {
    return QStringLiteral(CAMPANIX_RUNTIME_DIR "/") + relative;
}

QImage loadPicture(const QString& relative) {
    QImage image(installed(relative));
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The catalogue as the program reads it: its own line reader and splitter.
TEST(InstalledCatalogue, ReadsAsTheProgramReadsIt) {
    const std::optional<QStringList> lines = readTextLines(installed(QStringLiteral("Data/desc.kli")));
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 15);
    QSet<QString> names;
    QSet<int> codes;
    for (int i = 0; i < 15; ++i) {
        const QStringList f = SplitList(lines->at(i), QStringLiteral(";"));
        ASSERT_EQ(f.size(), 8) << "bell " << i;
        // Unique ignoring case, Cyrillic included.
        EXPECT_FALSE(names.contains(f.at(0).toLower())) << "bell " << i;
        names.insert(f.at(0).toLower());
        EXPECT_EQ(f.at(1), QStringLiteral("bell%1.wav").arg(i + 1, 2, 10, QLatin1Char('0')));
        EXPECT_TRUE(QFile::exists(installed(QStringLiteral("Images/") + f.at(2)))) << f.at(2).toStdString();
        EXPECT_TRUE(QFile::exists(installed(QStringLiteral("Images/") + f.at(3)))) << f.at(3).toStdString();
        bool whole = false;
        const int code = f.at(6).toInt(&whole);
        ASSERT_TRUE(whole) << "bell " << i;
        EXPECT_FALSE(catalogue::isReservedKeyCode(code)) << "bell " << i;
        EXPECT_FALSE(codes.contains(code)) << "bell " << i;
        codes.insert(code);
    }
    EXPECT_EQ(names.size(), 15);
}

// The catalogue on disk is Windows-1251 text with CR LF, not the UTF-8 source.
TEST(InstalledCatalogue, IsWindows1251WithCrLf) {
    QFile file(installed(QStringLiteral("Data/desc.kli")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 15);
    EXPECT_EQ(bytes.count('\n'), 15);
    EXPECT_FALSE(bytes.contains("\xD0\x9F")) << "UTF-8 text in the catalogue";
}

// Every frame of both folders, at the exact size of its view; the struck
// bell of frame f differs from frame 0 in bell f's place and nowhere else.
TEST(InstalledFrames, EveryFrameAtItsSizeWithItsBellStruck) {
    const struct {
        const char* folder;
        QSize size;
    } views[] = {{"Animate/", frames::kUsualSize}, {"BigAnimate/", frames::kFullSize}};
    for (const auto& view : views) {
        for (const frames::SetInfo& set : frames::sets()) {
            for (const frames::Style style : {frames::Style::General, frames::Style::Schematic}) {
                const QString rest = QLatin1String(view.folder) + frames::fileName(set.key, 0, style);
                const QImage restImage = loadPicture(rest);
                ASSERT_EQ(restImage.size(), view.size) << rest.toStdString();
                const QVector<frames::BellPlace> bells = frames::layout(set.key);
                for (int f = 1; f < frames::kFramesPerSet; ++f) {
                    const QString name = QLatin1String(view.folder) + frames::fileName(set.key, f, style);
                    const QImage image = loadPicture(name);
                    ASSERT_EQ(image.size(), view.size) << name.toStdString();
                    if (f > bells.size()) {
                        EXPECT_EQ(image, restImage) << name.toStdString();
                        continue;
                    }
                    const QRect slot = testimages::pixelRect(bells.at(f - 1).slot, view.size, 0);
                    const testimages::Difference d = testimages::compare(restImage, image, slot);
                    EXPECT_GT(d.inside, 50) << name.toStdString();
                    EXPECT_EQ(d.outside, 0) << name.toStdString();
                }
            }
        }
    }
}

// The chord and animation-off pictures keep white where the program writes
// its caption, in both folders.
TEST(InstalledFrames, CaptionPicturesKeepTheirBandWhite) {
    for (const char* folder : {"Animate/", "BigAnimate/"}) {
        const QSize size =
            QLatin1String(folder) == QLatin1String("Animate/") ? frames::kUsualSize : frames::kFullSize;
        for (const char* name : {"accord.bmp", "disable.bmp"}) {
            const QString relative = QLatin1String(folder) + QLatin1String(name);
            const QImage image = loadPicture(relative);
            ASSERT_EQ(image.size(), size) << relative.toStdString();
            EXPECT_TRUE(testimages::allWhite(image, captions::captionBand(size))) << relative.toStdString();
        }
    }
}

// The window pictures are JPEG files libjpeg reads, at their sizes.
TEST(InstalledArtwork, JpegPicturesDecode) {
    const struct {
        const char* name;
        QSize size;
    } pictures[] = {{"Images/splash.jpg", artwork::kSplashSize},
                    {"Images/banner.jpg", artwork::kBannerSize},
                    {"Images/bk.jpg", artwork::kBackgroundSize}};
    for (const auto& picture : pictures) {
        QFile file(installed(QLatin1String(picture.name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << picture.name;
        const std::optional<QImage> image = jpeg::decode(file.readAll());
        ASSERT_TRUE(image.has_value()) << picture.name;
        EXPECT_EQ(image->size(), picture.size) << picture.name;
    }
}

// Bell pictures are square and all of one size, so the strip lays them out evenly.
TEST(InstalledArtwork, BellPicturesAreSquareAndAlike) {
    const QSize first = loadPicture(QStringLiteral("Images/bell01.bmp")).size();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(first.width(), first.height());
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(loadPicture(QStringLiteral("Images/") + catalogue::pictureFileName(i)).size(), first);
        EXPECT_EQ(loadPicture(QStringLiteral("Images/") + catalogue::pictureOffFileName(i)).size(), first);
    }
}
