#include "input/TKeyStream.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

TKeyStream::TKeyStream(Strike strike, QObject* parent) : QThread(parent), m_strike(std::move(strike)) {}

void TKeyStream::run() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_cancelled && m_strike) {
                m_strike();
            }
        },
        Qt::BlockingQueuedConnection);
}

KeyStrikes::~KeyStrikes() {
    const QList<TKeyStream*> streams = findChildren<TKeyStream*>(Qt::FindDirectChildrenOnly);
    for (TKeyStream* stream : streams) {
        stream->cancel();
        // A stream may be waiting for its call to run in this thread: run
        // the (now empty) calls until it has ended.
        while (!stream->wait(QDeadlineTimer(5))) {
            QCoreApplication::sendPostedEvents(stream, QEvent::MetaCall);
        }
        delete stream;
    }
}

void KeyStrikes::start(TKeyStream::Strike strike) {
    auto* stream = new TKeyStream(std::move(strike), this);
    connect(stream, &QThread::finished, stream, &QObject::deleteLater);
    m_latest = stream;
    stream->start();
}

int KeyStrikes::liveCount() const {
    return static_cast<int>(findChildren<TKeyStream*>(Qt::FindDirectChildrenOnly).size());
}
