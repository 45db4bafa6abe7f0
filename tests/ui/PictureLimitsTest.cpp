#include "ui/JpegCodec.h"
#include "ui/JpegImage.h"
#include "ui/PictureFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray smallJpeg() {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 200));
    return jpeg::encode(image, 80).value_or(QByteArray());
}

// The same picture with a header that claims another size (the start-of-frame
// marker holds height, then width, big-endian).
QByteArray withClaimedSize(QByteArray data, int width, int height) {
    for (qsizetype i = 0; i + 8 < data.size(); ++i) {
        const auto marker = static_cast<unsigned char>(data[i + 1]);
        if (static_cast<unsigned char>(data[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            data[i + 5] = static_cast<char>(height >> 8);
            data[i + 6] = static_cast<char>(height & 0xFF);
            data[i + 7] = static_cast<char>(width >> 8);
            data[i + 8] = static_cast<char>(width & 0xFF);
            return data;
        }
    }
    return {};
}

// A BMP whose header claims another size (width and height at bytes 18 and 22).
QByteArray bmpClaiming(int width, int height) {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.bmp"));
    image.save(path, "BMP");
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QByteArray data = f.readAll();
    for (int b = 0; b < 4; ++b) {
        data[18 + b] = static_cast<char>((width >> (8 * b)) & 0xFF);
        data[22 + b] = static_cast<char>((height >> (8 * b)) & 0xFF);
    }
    return data;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

} // namespace

// The limits: 16384 pixels a side and 64 megapixels, both inclusive.
TEST(PictureLimits, SizesAtAndBeyondTheLimits) {
    struct Case {
        long long width, height;
        bool accepted;
    };
    const Case cases[] = {
        {1, 1, true},          {16384, 4096, true}, {4096, 16384, true},  {8192, 8192, true},
        {16385, 1, false},     {1, 16385, false},   {16384, 4097, false}, {8193, 8193, false},
        {30000, 30000, false}, {0, 10, false},      {10, -1, false},      {65535, 65535, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isPictureSizeAcceptable(c.width, c.height), c.accepted) << c.width << " x " << c.height;
    }
}

// A JPEG whose header claims 30000 x 30000 pixels is refused as unreadable
// (it used to be decoded into 2.7 GB, or end the program with bad_alloc); a
// claim within the limits is still decoded.
TEST(PictureLimits, HugeJpegHeaderIsRefused) {
    const QByteArray good = smallJpeg();
    ASSERT_FALSE(good.isEmpty());
    const QByteArray huge = withClaimedSize(good, 30000, 30000);
    ASSERT_FALSE(huge.isEmpty());
    EXPECT_FALSE(jpeg::decode(huge).has_value());
    EXPECT_FALSE(jpeg::decode(withClaimedSize(good, 16385, 8)).has_value());
    ASSERT_TRUE(jpeg::decode(good).has_value());
    EXPECT_EQ(jpeg::decode(good)->size(), QSize(16, 8));

    QTemporaryDir dir;
    EXPECT_TRUE(loadJpeg(writeFile(dir, QStringLiteral("splash.jpg"), huge)).isNull());
}

// The bell pictures (BMP) go through the same limits.
TEST(PictureLimits, HugeBmpHeaderIsRefused) {
    QTemporaryDir dir;
    EXPECT_TRUE(readPictureFile(writeFile(dir, QStringLiteral("wide.bmp"), bmpClaiming(20000, 4))).isNull());
    EXPECT_TRUE(
        readPictureFile(writeFile(dir, QStringLiteral("huge.bmp"), bmpClaiming(30000, 30000))).isNull());
    EXPECT_EQ(readPictureFile(writeFile(dir, QStringLiteral("ok.bmp"), bmpClaiming(4, 4))).size(),
              QSize(4, 4));
    EXPECT_TRUE(readPictureFile(dir.filePath(QStringLiteral("missing.bmp"))).isNull());
}
