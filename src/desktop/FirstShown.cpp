#include "desktop/FirstShown.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Watches the window's events until its first painting has been served.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget& window, std::function<void()> action, int fallbackMs)
        : QObject(&window), m_action(std::move(action)) {
        window.installEventFilter(this);
        QTimer::singleShot(fallbackMs, this, [this] { fire(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            // After this painting, and those of the children in the same
            // pass, have been done.
            QTimer::singleShot(0, this, [this] { fire(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void fire() {
        if (!m_action) {
            return;
        }
        const std::function<void()> action = std::move(m_action);
        m_action = nullptr;
        parent()->removeEventFilter(this);
        deleteLater();
        action();
    }

    std::function<void()> m_action;
};

} // namespace

void whenFirstShown(QWidget& window, std::function<void()> action, int fallbackMs) {
    new FirstPaintWatch(window, std::move(action), fallbackMs);
}
