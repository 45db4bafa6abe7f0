#include "desktop/Splash.h"

#include "base/Logging.h"
#include "ui/JpegImage.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <exception>

QPixmap bevelledPicture(const QImage& picture, int bevel) {
    if (picture.isNull()) {
        return {};
    }
    bevel = std::max(0, bevel);
    QImage framed(picture.width() + 2 * bevel, picture.height() + 2 * bevel, QImage::Format_RGB32);
    framed.fill(QColor(192, 192, 192));
    QPainter painter(&framed);
    painter.drawImage(bevel, bevel, picture);
    const int w = framed.width();
    const int h = framed.height();
    for (int i = 0; i < bevel; ++i) {
        // Outer ring lighter and darker than the inner one, as a raised edge.
        painter.setPen(i == 0 ? QColor(255, 255, 255) : QColor(223, 223, 223));
        painter.drawLine(i, i, w - 1 - i, i);
        painter.drawLine(i, i, i, h - 1 - i);
        painter.setPen(i == 0 ? QColor(64, 64, 64) : QColor(128, 128, 128));
        painter.drawLine(i, h - 1 - i, w - 1 - i, h - 1 - i);
        painter.drawLine(w - 1 - i, i, w - 1 - i, h - 1 - i);
    }
    painter.end();
    return QPixmap::fromImage(framed);
}

TabcSplash::TabcSplash(const QPixmap& framed) : QSplashScreen(framed, Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("AppSplash"));
}

std::unique_ptr<TabcSplash> TabcSplash::showPicture(const QString& path, int milliseconds) {
    try {
        QImage picture = loadJpeg(path);
        if (picture.isNull()) {
            return nullptr;
        }
        // A picture larger than the screen is shown scaled to fit it.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize room = screen->availableGeometry().size() * 9 / 10;
            if (picture.width() > room.width() || picture.height() > room.height()) {
                picture = picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            }
        }
        const QPixmap framed = bevelledPicture(picture, kBevel);
        if (framed.isNull()) {
            return nullptr;
        }
        std::unique_ptr<TabcSplash> splash(new TabcSplash(framed));
        splash->show();
        QTimer::singleShot(milliseconds, splash.get(), &QWidget::close);
        return splash;
    } catch (const std::exception& failure) {
        // No picture is worth failing the start for.
        qCWarning(lcDesktop) << "splash picture not shown:" << failure.what();
        return nullptr;
    } catch (...) {
        qCWarning(lcDesktop) << "splash picture not shown";
        return nullptr;
    }
}
