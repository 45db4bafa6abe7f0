#include "ui/TUpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    updateButtons();
}

void TUpDown::setMin(int value) {
    m_min = value;
    setPosition(m_position);
    updateButtons();
}

void TUpDown::setMax(int value) {
    m_max = value;
    setPosition(m_position);
    updateButtons();
}

void TUpDown::setPosition(int value) {
    const int clamped = std::clamp(value, m_min, std::max(m_min, m_max));
    if (clamped == m_position) {
        updateButtons();
        return;
    }
    m_position = clamped;
    updateButtons();
    emit positionChanged(m_position);
}

void TUpDown::step(int delta) {
    const int before = m_position;
    setPosition(m_position + delta);
    if (m_position != before) {
        emit clicked();
    }
}

void TUpDown::updateButtons() {
    m_up->setEnabled(m_position < m_max);
    m_down->setEnabled(m_position > m_min);
}
