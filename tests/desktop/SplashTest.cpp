// The splash picture in its bevel, and the about box that shows it.

#include "desktop/Splash.h"
#include "support/TestProgram.h"
#include "ui/AboutBox.h"
#include "ui/JpegImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage plainPicture() {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(20, 90, 160));
    return picture;
}

} // namespace

// Two pixels of raised bevel all round: light top-left, dark bottom-right,
// the picture untouched inside.
TEST(Splash, BevelFramesThePicture) {
    ensureQtApplication();
    const QImage framed = bevelledPicture(plainPicture(), 2).toImage();
    ASSERT_EQ(framed.size(), QSize(44, 34));
    EXPECT_EQ(framed.pixelColor(0, 10), QColor(255, 255, 255));
    EXPECT_EQ(framed.pixelColor(1, 10), QColor(223, 223, 223));
    EXPECT_EQ(framed.pixelColor(43, 10), QColor(64, 64, 64));
    EXPECT_EQ(framed.pixelColor(20, 32), QColor(128, 128, 128));
    EXPECT_EQ(framed.pixelColor(2, 2), QColor(20, 90, 160));
    EXPECT_EQ(framed.pixelColor(41, 31), QColor(20, 90, 160));
    EXPECT_TRUE(bevelledPicture(QImage(), 2).isNull());
}

// A missing, truncated or foreign splash file never ends the start-up: there
// is just no splash. A good one shows.
TEST(Splash, DamagedPicturesShowNothing) {
    ensureQtApplication();
    QTemporaryDir dir;
    const QString good = dir.path() + QStringLiteral("/good.jpg");
    ASSERT_TRUE(saveJpeg(plainPicture(), good, 90));
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();
    const std::pair<const char*, QByteArray> damaged[] = {
        {"truncated.jpg", bytes.left(bytes.size() / 3)},
        {"header-only.jpg", bytes.left(2)},
        {"text.jpg", "not a picture"},
    };
    for (const auto& [name, content] : damaged) {
        QFile file(dir.path() + QLatin1Char('/') + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_EQ(TabcSplash::showPicture(file.fileName(), 10), nullptr) << name;
    }
    EXPECT_EQ(TabcSplash::showPicture(dir.path() + QStringLiteral("/none.jpg"), 10), nullptr);
    const std::unique_ptr<TabcSplash> splash = TabcSplash::showPicture(good, 10);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->pixmap().size(), QSize(44, 34));
}

// The about box shows the splash picture over its client area and a click
// closes it; without the picture it still opens, with the program's name.
TEST(AboutBox, ShowsThePictureAndClosesOnClick) {
    ensureQtApplication();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/splash.jpg");
    ASSERT_TRUE(saveJpeg(plainPicture(), path, 90));
    TAboutBox box(path, nullptr);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(box.imgPicture->pixmap().size(), QSize(40, 30));
    box.showCentred();
    EXPECT_TRUE(box.isVisible());
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &click);
    EXPECT_FALSE(box.isVisible());

    TAboutBox plain(dir.path() + QStringLiteral("/none.jpg"), nullptr);
    EXPECT_EQ(plain.imgPicture->text(), QStringLiteral("Campanix 1.2"));
}
