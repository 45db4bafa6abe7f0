#include "animation/BellAnimationPicture.h"

#include "animation/PicturePlaces.h"

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
    const QSize logical = m_picture->deviceIndependentSize().toSize();
    const QSize shown = pictureplaces::fitted(logical, size());
    QPoint at(0, 0);
    if (m_centred) {
        at = QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2);
    }
    if (shown == logical) {
        painter.drawPixmap(at, *m_picture);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(at, shown), *m_picture);
}
