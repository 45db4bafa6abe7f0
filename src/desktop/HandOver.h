#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// What a later start of the program asks of the running copy's window: to
// come forward (a modal dialog of it first) and to open a file. A file that
// arrives while a modal dialog blocks the window (a message, the recording
// dialog) is kept and opened once the window takes input again, in the order
// the files came; none is dropped.
class HandOver : public QObject {
    Q_OBJECT
public:
    using Opener = std::function<void(const QString& file)>;

    HandOver(QWidget& window, Opener open, QObject* parent = nullptr);

    // file: the file to open; empty when the start named none.
    void receive(const QString& file);
    // Files kept until the window is no longer blocked.
    QStringList pending() const { return m_pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bringForward();
    void openPending();

    QWidget& m_window;
    Opener m_open;
    QStringList m_pending;
    bool m_blocked = false;
};
