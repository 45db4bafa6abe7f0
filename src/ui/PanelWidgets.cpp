#include "ui/PanelWidgets.h"

#include <QToolButton>

QFrame* makePanel(const QString& name, QWidget* parent, QFrame::Shape shape) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(shape);
    if (shape != QFrame::NoFrame) {
        panel->setFrameShadow(QFrame::Raised);
    }
    return panel;
}

QToolButton* makeToolButton(const QString& name, const QString& hint, QStyle::StandardPixmap icon,
                            QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    return button;
}
