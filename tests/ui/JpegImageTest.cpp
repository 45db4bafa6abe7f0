#include "ui/JpegImage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

// A picture written and read back keeps its size and, roughly, its colours.
TEST(JpegImage, RoundTripsAPicture) {
    QTemporaryDir dir;
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    for (int x = 0; x < 32; ++x) {
        image.setPixelColor(x, 5, Qt::blue);
    }
    const QString path = dir.filePath(QStringLiteral("bk.jpg"));
    ASSERT_TRUE(saveJpeg(image, path, 90));
    const QImage back = loadJpeg(path);
    ASSERT_EQ(back.size(), image.size());
    const QColor c = back.pixelColor(50, 20);
    EXPECT_NEAR(c.red(), 200, 8);
    EXPECT_NEAR(c.green(), 120, 8);
    EXPECT_NEAR(c.blue(), 40, 8);
    // Lower quality gives a smaller file.
    const QString small = dir.filePath(QStringLiteral("small.jpg"));
    ASSERT_TRUE(saveJpeg(image, small, 40));
    EXPECT_LT(QFile(small).size(), QFile(path).size());
}

// A missing, empty or damaged file gives a null picture instead of ending the program.
TEST(JpegImage, BadFilesGiveANullPicture) {
    QTemporaryDir dir;
    EXPECT_TRUE(loadJpeg(dir.filePath(QStringLiteral("missing.jpg"))).isNull());
    const QString junk = dir.filePath(QStringLiteral("junk.jpg"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xFF\xD8\xFF\xE0 this is not a picture");
    f.close();
    EXPECT_TRUE(loadJpeg(junk).isNull());
    EXPECT_FALSE(saveJpeg(QImage(), dir.filePath(QStringLiteral("x.jpg")), 50));
}
