#pragma once

#include "playback/TReleaseStream.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// Starts the TReleaseStream workers of the main window and keeps them until
// they have ended, so that none is left waiting on a window that is gone.
// Main thread only.
class ReleaseStreams {
public:
    explicit ReleaseStreams(std::function<void()> sweep);
    ~ReleaseStreams();

    ReleaseStreams(const ReleaseStreams&) = delete;
    ReleaseStreams& operator=(const ReleaseStreams&) = delete;

    // Starts one worker at lowered priority that hands the sweep over.
    void start();
    // Serves the hand-overs still pending without running the sweep, and
    // waits for every worker to end. Called before the window goes.
    void finish();
    int running() const;

private:
    void pruneFinished();

    std::function<void()> m_sweep;
    QObject m_context; // the main-thread receiver of the hand-overs
    bool m_closing = false;
    std::vector<std::unique_ptr<TReleaseStream>> m_streams;
};
