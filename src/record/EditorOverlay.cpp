#include "record/EditorOverlay.h"

#include "record/ScoreHitTest.h"

#include <QEvent>
#include <QFrame>
#include <QPainter>

namespace {

// The picture's rectangle within the staff panel.
QRect pictureArea(const QWidget* staff) {
    const auto* frame = qobject_cast<const QFrame*>(staff);
    return frame ? frame->contentsRect() : staff->rect();
}

} // namespace

EditorOverlay::EditorOverlay(QWidget* staff) : QWidget(staff) {
    setObjectName(QStringLiteral("editorOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setGeometry(pictureArea(staff));
    staff->installEventFilter(this);
    raise();
    show();
}

bool EditorOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded)) {
        setGeometry(pictureArea(parentWidget()));
        // Pictures and cursor bars added later must not cover the marks.
        raise();
    }
    return false;
}

void EditorOverlay::showSelection(int page, int first, int last, int cursor) {
    if (page == m_page && first == m_first && last == m_last && cursor == m_cursor) {
        return;
    }
    m_page = page;
    m_first = first;
    m_last = last;
    m_cursor = cursor;
    update();
}

void EditorOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int page = m_pageSource ? m_pageSource() : m_page;
    const int left = m_staffLeftSource ? m_staffLeftSource() : 0;
    const QRect selected = columnsRect(size(), page, m_first, m_last, left);
    if (!selected.isEmpty()) {
        painter.fillRect(selected, QColor(40, 110, 220, 60));
    }
    const QRect cursor = columnsRect(size(), page, m_cursor, m_cursor, left);
    if (!cursor.isEmpty()) {
        // An outline, so the heads of the column stay readable; orange, so
        // it is never taken for the blue play cursor.
        painter.setPen(QPen(QColor(225, 110, 0), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cursor.adjusted(1, 1, -1, -1));
    }
}
