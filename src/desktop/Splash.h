#pragma once

#include <QImage>
#include <QPixmap>
#include <QSplashScreen>
#include <QString>

#include <memory>

// The picture framed by a raised bevel `bevel` pixels wide (light on the top
// and left, dark on the bottom and right); a null pixmap for a null picture.
QPixmap bevelledPicture(const QImage& picture, int bevel);

// The start-up splash: the splash picture in its bevel, shown by itself for
// a while; a click closes it sooner.
class TabcSplash : public QSplashScreen {
    Q_OBJECT
public:
    static constexpr int kBevel = 2;
    static constexpr int kShowMilliseconds = 1500;

    // Shows the picture of `path` for `milliseconds`; nothing when the file
    // is missing, damaged or not a picture, so start-up always goes on.
    static std::unique_ptr<TabcSplash> showPicture(const QString& path, int milliseconds = kShowMilliseconds);

private:
    explicit TabcSplash(const QPixmap& framed);
};
