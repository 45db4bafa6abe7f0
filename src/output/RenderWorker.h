#pragma once

#include "playback/RingingRenderer.h"

#include <atomic>
#include <memory>
#include <thread>

// A ringing rendered to a sound file on a worker thread of its own, while
// the window's thread goes on (a progress dialog, the pages of the site).
// The file is written whole or not at all, so a cancel or a failure leaves
// nothing behind.
class RenderWorker {
public:
    RenderWorker() = default;
    ~RenderWorker(); // cancels a running render and waits for it
    RenderWorker(const RenderWorker&) = delete;
    RenderWorker& operator=(const RenderWorker&) = delete;

    void start(RenderJob job);
    bool isRunning() const { return m_thread.joinable(); }
    bool isDone() const;
    void cancel();
    // Waits for the render and returns its result (an empty result when
    // none was started).
    RenderResult finish();
    // Columns rendered of the running job, and its column count.
    int columnsDone() const;
    int columns() const;

private:
    struct State {
        std::atomic<int> columnsDone{0};
        std::atomic<int> columns{0};
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false};
        RenderResult result; // read only after `done` is seen set
    };
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};
