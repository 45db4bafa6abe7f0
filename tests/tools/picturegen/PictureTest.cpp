#include "Artwork.h"
#include "BellPictures.h"
#include "CaptionPictures.h"
#include "FrameSets.h"
#include "ImageFiles.h"
#include "ui/JpegCodec.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>

namespace {

// Spread of a picture's colours from grey, averaged over its pixels.
double meanSaturation(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            sum += std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)});
        }
    }
    return sum / (image.width() * image.height());
}

// Standard deviation of the grey levels: the picture's contrast.
double contrast(const QImage& image) {
    double sum = 0;
    double squares = 0;
    const int n = image.width() * image.height();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int g = qGray(image.pixel(x, y));
            sum += g;
            squares += double(g) * g;
        }
    }
    const double mean = sum / n;
    return std::sqrt(squares / n - mean * mean);
}

// Pixels clearly darker than the pale background below the beam and left of
// the key cap: how much bronze there is.
int darkArea(const QImage& image) {
    int n = 0;
    for (int y = 14; y < image.height(); ++y) {
        for (int x = 0; x < image.width() - 26; ++x) {
            if (qGray(image.pixel(x, y)) < 170) {
                ++n;
            }
        }
    }
    return n;
}

} // namespace

// The caption falls on white, which the program turns transparent; and no
// almost-white pixel is left to show as a pale fringe on the panel.
TEST(CaptionPictures, KeepCaptionBandWhiteAndNoFringe) {
    testimages::ensureGui();
    for (const QSize size : {frames::kUsualSize, frames::kFullSize}) {
        const QRect band = captions::captionBand(size);
        // The captions start at (20, 26) and (10, 26).
        EXPECT_LE(band.left(), 10);
        EXPECT_LE(band.top(), 14);
        EXPECT_GE(band.bottom(), 44);
        EXPECT_GE(band.right(), 124);
        for (const captions::Kind kind : {captions::Kind::Chords, captions::Kind::AnimationOff}) {
            const QImage image = captions::render(kind, size);
            ASSERT_EQ(image.size(), size);
            EXPECT_TRUE(testimages::allWhite(image, band));
            int drawn = 0;
            int fringe = 0;
            for (int y = 0; y < size.height(); ++y) {
                for (int x = 0; x < size.width(); ++x) {
                    const QRgb c = image.pixel(x, y);
                    if ((c & 0xffffff) == 0xffffff) {
                        continue;
                    }
                    ++drawn;
                    if (qRed(c) >= 240 && qGreen(c) >= 240 && qBlue(c) >= 240) {
                        ++fringe;
                    }
                }
            }
            EXPECT_GT(drawn, size.width() * 6) << "the picture shows something besides the caption";
            EXPECT_EQ(fringe, 0);
        }
    }
    EXPECT_NE(captions::render(captions::Kind::Chords, frames::kUsualSize),
              captions::render(captions::Kind::AnimationOff, frames::kUsualSize));
}

// The bell strip shows the size of each bell, and a not-selected bell must
// read as such at a glance: greyer and with less contrast.
TEST(BellPictures, SizesFallAndDimPicturesAreGreyer) {
    testimages::ensureGui();
    int previous = 1 << 30;
    for (int i = 0; i < 15; ++i) {
        const QImage on = bellpictures::render(i, QChar(u'A' + i), true);
        const QImage off = bellpictures::render(i, QChar(u'A' + i), false);
        ASSERT_EQ(on.size(), QSize(bellpictures::kSide, bellpictures::kSide));
        ASSERT_EQ(off.size(), on.size());
        const int area = darkArea(on);
        EXPECT_LT(area, previous) << "bell " << i;
        previous = area;
        EXPECT_LT(meanSaturation(off), meanSaturation(on) / 3) << "bell " << i;
        EXPECT_LT(contrast(off), contrast(on) * 0.7) << "bell " << i;
    }
    // The largest bell clearly outweighs the smallest.
    EXPECT_GT(darkArea(bellpictures::render(0, QChar(), true)),
              3 * darkArea(bellpictures::render(14, QChar(), true)));
}

// What libjpeg writes it reads back at the same size and close in colour;
// bad data and a bad quality are refused, not crashed on.
TEST(Jpeg, RoundTripAndRefusals) {
    QImage image(40, 24, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    const std::optional<QByteArray> bytes = jpeg::encode(image, 90);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->startsWith("\xFF\xD8"));
    const std::optional<QImage> back = jpeg::decode(*bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), image.size());
    const QRgb c = back->pixel(20, 12);
    EXPECT_LE(std::abs(qRed(c) - 200) + std::abs(qGreen(c) - 120) + std::abs(qBlue(c) - 40), 12);

    EXPECT_FALSE(jpeg::decode(QByteArray("not a picture")).has_value());
    // A cut file may decode in part; it must only not crash.
    (void)jpeg::decode(bytes->left(bytes->size() / 3));
    EXPECT_FALSE(jpeg::decode(QByteArray()).has_value());
    EXPECT_FALSE(jpeg::encode(image, 0).has_value());
    EXPECT_FALSE(jpeg::encode(QImage(), 80).has_value());
}

// BMP pictures come back pixel for pixel, without an alpha channel.
TEST(ImageFiles, BmpRoundTrip) {
    testimages::ensureGui();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.bmp"));
    const QImage image = captions::render(captions::Kind::Chords, frames::kUsualSize);
    ASSERT_TRUE(imagefiles::writeBmp(path, image));
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
    // A folder that does not exist: a failure, and no stray file.
    EXPECT_FALSE(imagefiles::writeBmp(dir.filePath(QStringLiteral("none/x.bmp")), image));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("none/x.bmp"))));
}

// The export background is tiled by the browser: its opposite edges must
// meet without a visible seam.
TEST(Artwork, BackgroundTilesWithoutSeam) {
    const QImage tile = artwork::renderBackgroundTile();
    ASSERT_EQ(tile.size(), artwork::kBackgroundSize);
    const int n = tile.width();
    auto step = [&](QRgb a, QRgb b) { return std::abs(qGray(a) - qGray(b)); };
    int seam = 0;
    int inner = 0;
    for (int i = 0; i < n; ++i) {
        seam = std::max({seam, step(tile.pixel(n - 1, i), tile.pixel(0, i)),
                         step(tile.pixel(i, n - 1), tile.pixel(i, 0))});
        inner = std::max({inner, step(tile.pixel(n / 2, i), tile.pixel(n / 2 + 1, i)),
                          step(tile.pixel(i, n / 2), tile.pixel(i, n / 2 + 1))});
    }
    EXPECT_LE(seam, inner + 1);
    // Pale enough for black text on top.
    EXPECT_GT(qGray(tile.pixel(n / 3, n / 3)), 220);
}
