#include "output/RenderWorker.h"

RenderWorker::~RenderWorker() {
    cancel();
    finish();
}

void RenderWorker::start(RenderJob job) {
    finish();
    auto state = std::make_shared<State>();
    state->columns = static_cast<int>(job.columns.size());
    job.progress = [state](int done, int) {
        state->columnsDone.store(done, std::memory_order_relaxed);
        return !state->cancel.load(std::memory_order_relaxed);
    };
    m_state = state;
    m_thread = std::thread([state, job = std::move(job)] {
        state->result = renderRinging(job);
        state->done.store(true, std::memory_order_release);
    });
}

bool RenderWorker::isDone() const {
    return !m_state || m_state->done.load(std::memory_order_acquire);
}

void RenderWorker::cancel() {
    if (m_state) {
        m_state->cancel = true;
    }
}

RenderResult RenderWorker::finish() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    RenderResult result;
    if (m_state) {
        result = m_state->result;
        m_state.reset();
    }
    return result;
}

int RenderWorker::columnsDone() const {
    return m_state ? m_state->columnsDone.load(std::memory_order_relaxed) : 0;
}

int RenderWorker::columns() const {
    return m_state ? m_state->columns.load() : 0;
}
