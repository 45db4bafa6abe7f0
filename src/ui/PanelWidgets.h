#pragma once

#include <QFrame>
#include <QStyle>

class QToolButton;

// The panels and tool buttons of the program's windows, made alike: a named
// frame (raised when it has a shape) and a flat tool button with a standard
// icon of 20 pixels.
QFrame* makePanel(const QString& name, QWidget* parent, QFrame::Shape shape = QFrame::NoFrame);
QToolButton* makeToolButton(const QString& name, const QString& hint, QStyle::StandardPixmap icon,
                            QWidget* parent);
