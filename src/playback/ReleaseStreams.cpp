#include "playback/ReleaseStreams.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

ReleaseStreams::ReleaseStreams(std::function<void()> sweep) : m_sweep(std::move(sweep)) {}

ReleaseStreams::~ReleaseStreams() {
    finish();
}

void ReleaseStreams::pruneFinished() {
    std::erase_if(m_streams,
                  [](const std::unique_ptr<TReleaseStream>& stream) { return stream->isFinished(); });
}

void ReleaseStreams::start() {
    if (m_closing) {
        return;
    }
    pruneFinished();
    auto stream = std::make_unique<TReleaseStream>(&m_context, [this] {
        if (!m_closing) {
            m_sweep();
        }
    });
    stream->start(QThread::LowPriority);
    m_streams.push_back(std::move(stream));
}

void ReleaseStreams::finish() {
    m_closing = true;
    for (const std::unique_ptr<TReleaseStream>& stream : m_streams) {
        // A worker may be blocked on its hand-over: deliver it (the sweep is
        // skipped while closing) so that the worker can end.
        while (!stream->wait(2)) {
            QCoreApplication::sendPostedEvents(&m_context, QEvent::MetaCall);
        }
    }
    m_streams.clear();
}

int ReleaseStreams::running() const {
    return static_cast<int>(std::count_if(m_streams.begin(), m_streams.end(),
                                          [](const auto& stream) { return !stream->isFinished(); }));
}
