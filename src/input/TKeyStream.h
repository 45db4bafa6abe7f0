#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>

// One keyboard strike: a short-lived thread whose only work is to hand the
// strike over to the main thread and wait until it has run there.
class TKeyStream : public QThread {
    Q_OBJECT
public:
    using Strike = std::function<void()>;

    // Created in the main thread (its object lives there).
    TKeyStream(Strike strike, QObject* parent);

    // Main thread only: the strike, if it has not run yet, does nothing.
    void cancel() { m_cancelled = true; }

protected:
    void run() override;

private:
    Strike m_strike;
    // Written and read only in the main thread (inside the handed-over call).
    bool m_cancelled = false;
};

// The keyboard strikes of the main window: starts one TKeyStream per strike
// and keeps a reference to the latest; every stream is released once it has
// finished. Destroying this object cancels the strikes not yet given and
// waits for every stream, so none outlives the window.
class KeyStrikes : public QObject {
    Q_OBJECT
public:
    explicit KeyStrikes(QObject* parent) : QObject(parent) {}
    ~KeyStrikes() override;

    void start(TKeyStream::Strike strike);
    TKeyStream* latest() const { return m_latest; }
    // Streams not yet released.
    int liveCount() const;

private:
    QPointer<TKeyStream> m_latest;
};
