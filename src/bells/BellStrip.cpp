#include "bells/BellStrip.h"

#include "ui/TImage.h"

#include <QEvent>
#include <QFrame>

#include <algorithm>

BellStrip::BellStrip(QFrame* panel, QWidget* marker) : QObject(panel), m_panel(panel), m_marker(marker) {
    for (int i = 0; i < kBellCount; ++i) {
        auto* image = new TImage(panel);
        image->setObjectName(QStringLiteral("imgBell%1").arg(i));
        image->setToolTip(bellCaption(i));
        image->setCursor(Qt::PointingHandCursor);
        image->setStretch(true);
        image->show();
        connect(image, &TImage::clicked, this, [this, i] { emit bellClicked(i); });
        m_pictures[i] = image;
    }
    panel->installEventFilter(this);
    layout();
}

BellStrip::~BellStrip() {
    // The pictures are the strip's own controls; the panel outlives them.
    for (QPointer<TImage>& image : m_pictures) {
        delete image.data();
    }
}

TImage* BellStrip::picture(int bell) const {
    return (bell >= 0 && bell < kBellCount) ? m_pictures[bell] : nullptr;
}

void BellStrip::layout() {
    m_laidOutWidth = m_panel->width();
    m_geometry = BellStripGeometry::forClientWidth(m_laidOutWidth);
    for (int i = 0; i < kBellCount; ++i) {
        if (m_pictures[i]) {
            m_pictures[i]->setGeometry(m_geometry.pictures[i]);
        }
    }
    if (m_panel->height() != m_geometry.panelHeight) {
        m_panel->setFixedHeight(m_geometry.panelHeight);
    }
    moveMarker(m_markerBell);
}

void BellStrip::moveMarker(int bell) {
    m_markerBell = std::clamp(bell, 0, kBellCount - 1);
    if (m_marker) {
        m_marker->setGeometry(m_geometry.marker(m_markerBell));
        m_marker->raise();
    }
}

bool BellStrip::eventFilter(QObject* watched, QEvent* event) {
    // The strip follows its panel's width however the width changed.
    if (watched == m_panel && event->type() == QEvent::Resize && m_panel->width() != m_laidOutWidth) {
        layout();
    }
    return QObject::eventFilter(watched, event);
}
