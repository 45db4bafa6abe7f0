#pragma once

#include <QObject>

#include <functional>

// An event filter that hands each event to a function; the function returns
// true to stop the event. Installed on the application it sees every event
// of every window before normal dispatch.
class EventHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;

    EventHook(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return m_handler ? m_handler(watched, event) : false;
    }

private:
    Handler m_handler;
};
