#pragma once

#include <QPointer>
#include <QThread>

#include <functional>

// A short-lived worker whose only job is to hand one piece of work (the sweep
// of finished voices) to the main thread and wait until it has run there.
class TReleaseStream : public QThread {
public:
    // `context` lives on the main thread; `work` runs there.
    TReleaseStream(QObject* context, std::function<void()> work);

protected:
    void run() override;

private:
    QPointer<QObject> m_context;
    std::function<void()> m_work;
};
