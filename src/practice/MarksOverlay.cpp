#include "practice/MarksOverlay.h"

#include <QEvent>
#include <QPainter>

MarksOverlay::MarksOverlay(QWidget* staff) : QWidget(staff) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(staff->rect());
    staff->installEventFilter(this);
    raise();
    show();
}

bool MarksOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded)) {
        const bool sizeChanged = size() != parentWidget()->size();
        setGeometry(parentWidget()->rect());
        // Pictures added to the staff later must not cover the marks.
        raise();
        if (sizeChanged) {
            emit resized();
        }
    }
    return false;
}

void MarksOverlay::setMarks(const QList<StrikeMark>& marks) {
    m_marks = marks;
    update();
}

QColor MarksOverlay::colourOf(StrikeMark::Kind kind) {
    switch (kind) {
    case StrikeMark::Kind::OnTime:
        return QColor(0, 160, 60);
    case StrikeMark::Kind::Nearly:
        return QColor(230, 150, 0);
    case StrikeMark::Kind::Beyond:
    case StrikeMark::Kind::Missed:
    case StrikeMark::Kind::Extra:
        break;
    }
    return QColor(210, 20, 20);
}

void MarksOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const StrikeMark& mark : m_marks) {
        const QColor colour = colourOf(mark.kind);
        const QPointF centre(mark.x, mark.y);
        switch (mark.kind) {
        case StrikeMark::Kind::Missed:
            // A dashed ring around the head that was not rung.
            painter.setPen(QPen(colour, 1.5, Qt::DashLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, 7.0, 6.0);
            break;
        case StrikeMark::Kind::Extra:
            // A cross where nothing was to be rung.
            painter.setPen(QPen(colour, 2.0));
            painter.drawLine(centre + QPointF(-4, -4), centre + QPointF(4, 4));
            painter.drawLine(centre + QPointF(-4, 4), centre + QPointF(4, -4));
            break;
        default: {
            QColor fill = colour;
            fill.setAlpha(70);
            painter.setPen(QPen(colour, 2.0));
            painter.setBrush(fill);
            painter.drawEllipse(centre, 6.0, 5.0);
            if (mark.tick != 0) {
                // A short stroke on the side the strike fell: left early, right late.
                const double side = mark.tick * 6.0;
                painter.drawLine(centre + QPointF(side, -7), centre + QPointF(side + mark.tick * 4.0, -7));
                painter.drawLine(centre + QPointF(side + mark.tick * 4.0, -7),
                                 centre + QPointF(side + mark.tick * 4.0, -3));
            }
            break;
        }
        }
    }
}
