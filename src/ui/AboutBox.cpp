#include "ui/AboutBox.h"
#include "base/WindowCaptions.h"

#include "ui/JpegImage.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

TAboutBox::TAboutBox(const QString& picturePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    imgPicture = new QLabel(this);
    imgPicture->setObjectName(QStringLiteral("imgPicture"));
    imgPicture->setAlignment(Qt::AlignCenter);
    // Clicks go through the picture to the box, which closes.
    imgPicture->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QImage picture = loadJpeg(picturePath);
    if (picture.isNull()) {
        imgPicture->setText(captions::kProgram);
        imgPicture->setMinimumSize(320, 200);
    } else {
        imgPicture->setPixmap(QPixmap::fromImage(picture));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(imgPicture);
    setFixedSize(sizeHint());
}

void TAboutBox::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}
