#pragma once

#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class AnimationHost;

// A worker of the animation: its body hands its one operation to the main
// thread once, waits until the main thread has performed it, and ends. The
// object stays until shutdown and then serves its operation directly on the
// thread that calls it, which is always the main thread.
class AnimationWorker : public QThread {
    Q_OBJECT
public:
    // Releasing a worker whose hand-over is still waiting (the main thread
    // never serviced it) withdraws the hand-over, so nothing waits for ever.
    ~AnimationWorker() override;

    // Started at once, one priority step below normal.
    void startBelowNormal();
    // How many times the operation ran, through the hand-over or directly.
    int performed() const { return m_performed; }
    // The start-up hand-over has been served (or withdrawn).
    bool served() const { return m_served.load(std::memory_order_acquire); }

protected:
    explicit AnimationWorker(std::function<void()> operation);
    void perform();
    void countHandOver() { ++m_performed; }
    void run() override;
    // What the start-up hand-over runs on the main thread: the operation.
    virtual void handOver() { perform(); }

private:
    std::function<void()> m_operation;
    int m_performed = 0;
    std::atomic<bool> m_served{false};
};

// Moves the score cursor (every playback tick while the score is shown).
class TSetScrollThread : public AnimationWorker {
    Q_OBJECT
public:
    explicit TSetScrollThread(AnimationHost& host);
    void placeScoreCursor() { perform(); }
};

// Shows the struck frame of `bell`; the caller stores the bell first.
class TSetBellPositionThread : public AnimationWorker {
    Q_OBJECT
public:
    explicit TSetBellPositionThread(AnimationHost& host);
    void showStrikeFrame() { perform(); }
    // No bell until the first strike: the start-up hand-over shows nothing.
    int bell = -1;

protected:
    // The start-up hand-over never strikes: served after the event loop has
    // started, it would repeat a strike made during start-up and stop the
    // reset timer that returns that bell to rest.
    void handOver() override { countHandOver(); }
};

// Returns every group to rest (the reset timer).
class TBellImagePos : public AnimationWorker {
    Q_OBJECT
public:
    explicit TBellImagePos(AnimationHost& host);
    void resetBellImages() { perform(); }
};

// The three workers, created and started at the end of start-up in the
// order image reset, strike, scroll, and released in the order scroll,
// strike, image reset.
class AnimationWorkers {
public:
    explicit AnimationWorkers(AnimationHost& host);
    ~AnimationWorkers();
    AnimationWorkers(const AnimationWorkers&) = delete;
    AnimationWorkers& operator=(const AnimationWorkers&) = delete;

    // The strike worker's operation for one bell.
    void showStrikeFrame(int bell);
    void placeScoreCursor() { m_scroll->placeScoreCursor(); }
    void resetBellImages() { m_imagePos->resetBellImages(); }

    // Runs `then` on the main thread once every worker's start-up hand-over
    // has been served; until then a strike would race the hand-overs.
    void whenServed(QObject* context, std::function<void()> then);

    TBellImagePos& imagePos() { return *m_imagePos; }
    TSetBellPositionThread& bellPosition() { return *m_bellPosition; }
    TSetScrollThread& scroll() { return *m_scroll; }

private:
    TBellImagePos* m_imagePos = nullptr;
    TSetBellPositionThread* m_bellPosition = nullptr;
    TSetScrollThread* m_scroll = nullptr;
};
