#include "desktop/HandOver.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

HandOver::HandOver(QWidget& window, Opener open, QObject* parent)
    : QObject(parent), m_window(window), m_open(std::move(open)) {
    // The window is told when a modal dialog starts and stops blocking it,
    // whichever dialog it is and however it was opened.
    m_window.installEventFilter(this);
}

void HandOver::receive(const QString& file) {
    bringForward();
    if (file.isEmpty()) {
        return;
    }
    m_pending.append(file);
    if (!m_blocked) {
        openPending();
    }
}

bool HandOver::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window) {
        if (event->type() == QEvent::WindowBlocked) {
            m_blocked = true;
        } else if (event->type() == QEvent::WindowUnblocked) {
            m_blocked = false;
            // After the dialog's own ending (the code after its exec()) has run.
            if (!m_pending.isEmpty()) {
                QTimer::singleShot(0, this, &HandOver::openPending);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void HandOver::bringForward() {
    if (m_window.isMinimized()) {
        m_window.showNormal();
    }
    QWidget* front = QApplication::activeModalWidget();
    if (!front) {
        front = &m_window;
    }
    front->raise();
    front->activateWindow();
}

void HandOver::openPending() {
    // A file that is not a ringing says so in a modal message, which blocks
    // the window again: the rest wait for it.
    while (!m_blocked && !m_pending.isEmpty()) {
        m_open(m_pending.takeFirst());
    }
}
