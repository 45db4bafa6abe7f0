#include "animation/BellAnimationPicture.h"

#include <QPainter>
#include <QPixmap>

BellAnimationPicture::BellAnimationPicture(QWidget* parent, QSize size, bool centred)
    : QWidget(parent), m_centred(centred) {
    resize(size);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BellAnimationPicture::showPicture(const QPixmap* picture) {
    if (picture && picture->isNull()) {
        picture = nullptr;
    }
    if (picture == m_picture) {
        return;
    }
    m_picture = picture;
    update();
}

void BellAnimationPicture::paintEvent(QPaintEvent*) {
    if (!m_picture) {
        return;
    }
    QPainter painter(this);
    QPoint at(0, 0);
    if (m_centred) {
        at = QPoint((width() - m_picture->width()) / 2, (height() - m_picture->height()) / 2);
    }
    painter.drawPixmap(at, *m_picture);
}
