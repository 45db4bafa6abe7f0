#include "playback/TReleaseStream.h"

#include <QMetaObject>

TReleaseStream::TReleaseStream(QObject* context, std::function<void()> work)
    : m_context(context), m_work(std::move(work)) {}

void TReleaseStream::run() {
    if (m_context) {
        QMetaObject::invokeMethod(m_context.data(), m_work, Qt::BlockingQueuedConnection);
    }
}
