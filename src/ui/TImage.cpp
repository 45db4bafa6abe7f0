#include "ui/TImage.h"

#include "ui/PictureFile.h"

#include <QMouseEvent>

TImage::TImage(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setMinimumSize(1, 1);
}

void TImage::setStretch(bool stretch) {
    m_stretch = stretch;
    refresh();
}

bool TImage::loadPicture(const QString& path) {
    const QImage image = readPictureFile(path);
    setPicture(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    return !image.isNull();
}

void TImage::setPicture(const QPixmap& pixmap) {
    m_picture = pixmap;
    refresh();
}

void TImage::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button());
    QLabel::mousePressEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

void TImage::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (m_stretch) {
        refresh();
    }
}

void TImage::refresh() {
    if (m_picture.isNull()) {
        clear();
    } else if (m_stretch) {
        setPixmap(m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    } else {
        setPixmap(m_picture);
    }
}
